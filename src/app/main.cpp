// pellicam: the poster finder's window.

#include "app/screenshot_tour.h"
#include "core/program.h"
#include "settings/settings_store.h"
#include "sites/site_registry.h"
#include "windows/main_window.h"

#include <QApplication>
#include <QNetworkProxyFactory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QNetworkProxyFactory::setUseSystemConfiguration(true);

    SettingsStore store;
    Program program(store);
    registerSites(program);
    MainWindow window(program);
    QObject::connect(&window, &MainWindow::closed, &app, &QCoreApplication::quit);
    window.start();

    // pellicam --screenshots DIR [TITLE]: pictures of the windows, for a review without a display.
    const QStringList args = QApplication::arguments();
    const qsizetype tour = args.indexOf(QStringLiteral("--screenshots"));
    if (tour > 0 && tour + 1 < args.size()) {
        auto *screenshots = new ScreenshotTour(window, program, args[tour + 1], args.value(tour + 2, QStringLiteral("matrix")));
        screenshots->run();
    }
    return app.exec();
}
