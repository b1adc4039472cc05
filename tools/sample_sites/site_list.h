#pragma once

#include <memory>
#include <vector>

class SampleSite;

// Every site the sample server plays, in the order their settings are printed.
std::vector<std::unique_ptr<SampleSite>> makeSampleSites();
