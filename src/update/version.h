#pragma once

#include <QLatin1StringView>

// The program's own version: a four-digit year, a point and one letter. The
// update check compares the published version with it, and the about window
// shows it.
inline constexpr QLatin1StringView kProgramName("Pellicam");
inline constexpr QLatin1StringView kVersion("2006.l");
