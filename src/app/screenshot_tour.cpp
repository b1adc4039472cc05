#include "app/screenshot_tour.h"

#include "controls/over_button.h"
#include "core/program.h"
#include "core/site_catalogue.h"
#include "settings/settings_store.h"
#include "windows/main_window.h"
#include "windows/selection_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEnterEvent>
#include <QPixmap>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTimer>

ScreenshotTour::ScreenshotTour(MainWindow &window, Program &program, const QString &folder, const QString &title)
    : QObject(&window)
    , m_window(window)
    , m_program(program)
    , m_folder(folder)
    , m_title(title)
{
}

void ScreenshotTour::run()
{
    QDir().mkpath(m_folder);
    QTimer::singleShot(300, this, &ScreenshotTour::tour);
}

void ScreenshotTour::save(QWidget *widget, const QString &name)
{
    QApplication::processEvents();
    widget->grab().save(QDir(m_folder).filePath(name));
}

void ScreenshotTour::tour()
{
    save(&m_window, QStringLiteral("main_idle.png"));

    bool running = false;
    auto during = connect(&m_program.results(), &ResultList::slotAdded, this, [&](int slot) {
        if (slot == 1 && !running) {
            running = true;
            save(&m_window, QStringLiteral("main_searching.png"));
        }
    });
    m_window.titleBox()->setEditText(m_title);
    m_program.Lance(1);
    disconnect(during);
    QEventLoop settle;
    QTimer::singleShot(500, &settle, &QEventLoop::quit);
    settle.exec();
    save(&m_window, QStringLiteral("main_results.png"));

    OverButton *button = m_window.searchButton();
    const QPointF inside(20, 10);
    QEnterEvent enter(inside, inside, button->mapToGlobal(inside));
    QApplication::sendEvent(button, &enter);
    QMouseEvent move(QEvent::MouseMove, inside, button->mapToGlobal(inside), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(button, &move);
    save(&m_window, QStringLiteral("main_hovered_button.png"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);

    SettingsStore &store = m_program.settings();
    SelectionWindow *selection = m_window.selectionWindow();
    for (const bool single : {true, false}) {
        store.writeBool(QStringLiteral("BdD"), single);
        m_program.catalogue().onActivated(store);
        selection->show();
        selection->placeBeside();
        save(selection, single ? QStringLiteral("selection_single.png") : QStringLiteral("selection_multiple.png"));
        selection->hide();
    }

    m_window.setCompact(true);
    save(&m_window, QStringLiteral("main_compact.png"));
    m_window.setCompact(false);
    QApplication::quit();
}
