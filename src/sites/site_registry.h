#pragma once

#include "sites/site_adapter.h"

#include <memory>
#include <vector>

// Every site the program searches, one line each.
std::vector<std::unique_ptr<SiteAdapter>> makeSites();
