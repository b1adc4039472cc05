#pragma once

#include <QStringList>

// pellicam-cli's commands over site files: "sites", "site check" and "site test".
int runSites(const QStringList &args);
int runSite(const QStringList &args);
