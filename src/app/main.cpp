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

namespace {

// --screenshots is left out: it serves the review pictures (scripts/screenshots) alone.
constexpr char kUsage[] =
    "Usage: pellicam [--exit-when-shown]\n"
    "\n"
    "Finds film posters and DVD jackets: type a title, tick the sites to search,\n"
    "and each hit shows as a thumbnail; a press shows the full picture.\n"
    "\n"
    "  --exit-when-shown  print \"shown\" once the window is up, then close it\n"
    "  --help             show this help\n"
    "  --version          show the version\n"
    "\n"
    "Settings live in $XDG_CONFIG_HOME/Pellicam/Pellicam.ini, shared with pellicam-cli;\n"
    "PELLICAM_NO_SITE_FILES=1 runs the built-in sites alone.\n";

} // namespace

int main(int argc, char **argv)
{
    // Answered before any window: it must work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", kProgramName.data(), kVersion.data());
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
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
