// Plays its input as a schedule of the search run (see fuzz/driver/schedule_driver.cpp)
// and stops at the first rule the run breaks.
#include "schedule_driver.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Settings and caches go to the test locations, never the user's; the
    // application object is never destroyed, as nothing of Qt is torn down
    // while libFuzzer exits.
    static const bool started = [] {
        static int argc = 1;
        static char name[] = "pellicam-fuzz";
        static char *argv[] = {name, nullptr};
        QStandardPaths::setTestModeEnabled(true);
        new QCoreApplication(argc, argv);
        return true;
    }();
    (void)started;
    const QString broken = ScheduleDriver::play(QByteArrayView(data, qsizetype(size)));
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "schedule broke a rule: %s\n", qPrintable(broken));
        std::abort();
    }
    return 0;
}
