#pragma once

#include <QStringList>

// pellicam-cli library: a poster beside every film of a folder.
int runLibrary(const QStringList &args);
