// pellicam: the poster finder's window.

#include "assembly/assembly.h"
#include "app/screenshot_tour.h"
#include "core/program.h"
#include "settings/settings_store.h"
#include "update/version.h"
#include "windows/main_window.h"

#include <QApplication>
#include <QNetworkProxyFactory>
#include <QTimer>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    // Answered before any window: it must work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", kProgramName.data(), kVersion.data());
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QNetworkProxyFactory::setUseSystemConfiguration(true);

    SettingsStore store;
    Assembly assembly(store);
    Program &program = assembly.program();
    MainWindow window(assembly);
    QObject::connect(&window, &MainWindow::closed, &app, &QCoreApplication::quit);
    window.start();

    const QStringList args = QApplication::arguments();
    // pellicam --exit-when-shown: says "shown" once the window is up, then closes it (install check, start-up benchmark).
    if (args.contains(QStringLiteral("--exit-when-shown"))) {
        QTimer::singleShot(0, &window, [&window] {
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
            window.close();
        });
    }

    // pellicam --screenshots DIR [TITLE]: pictures of the windows, for a review without a display.
    const qsizetype tour = args.indexOf(QStringLiteral("--screenshots"));
    if (tour > 0 && tour + 1 < args.size()) {
        auto *screenshots = new ScreenshotTour(window, program, args[tour + 1], args.value(tour + 2, QStringLiteral("matrix")));
        screenshots->run();
    }
    return app.exec();
}
