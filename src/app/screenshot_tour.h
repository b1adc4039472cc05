#pragma once

#include <QObject>
#include <QString>

class MainWindow;
class Program;
class QWidget;

// Shows the windows in their states and saves a picture of each: idle, during
// a search, with results, a hovered button, the selection window in both
// heights before the search and with its marks after it, the errors of broken
// site files, the compact form, the banner, every options section in both
// languages and with an update announced, two poster viewers and the about
// window. Then ends the program.
class ScreenshotTour : public QObject
{
    Q_OBJECT

public:
    ScreenshotTour(MainWindow &window, Program &program, const QString &folder, const QString &title);

    void run();

private:
    void save(QWidget *widget, const QString &name);
    void tour();
    void selectionShot(bool singleBase, const QString &name);
    void fileErrorsShot();
    void bannerShot();
    void optionsShots();
    void viewerShots();
    static void wait(int ms);

    MainWindow &m_window;
    Program &m_program;
    QString m_folder;
    QString m_title;
};
