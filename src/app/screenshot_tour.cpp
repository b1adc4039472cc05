#include "app/screenshot_tour.h"

#include "controls/over_button.h"
#include "core/program.h"
#include "core/site_catalogue.h"
#include "settings/settings_store.h"
#include "output/file_naming.h"
#include "output/retrieval.h"
#include "update/banner.h"
#include "update/update_check.h"
#include "windows/about_window.h"
#include "windows/main_window.h"
#include "windows/options_window.h"
#include "windows/poster_viewer.h"
#include "windows/selection_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QEnterEvent>
#include <QPixmap>
#include <QEventLoop>
#include <QLabel>
#include <QScreen>
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
    // Pending layouts and repaints first.
    wait(0);
    widget->grab().save(QDir(m_folder).filePath(name));
}

void ScreenshotTour::tour()
{
    save(&m_window, QStringLiteral("main_idle.png"));
    selectionShot(true, QStringLiteral("selection_single.png"));
    selectionShot(false, QStringLiteral("selection_multiple.png"));

    // The run is under way once its second hit is in; the picture is taken
    // here, not inside the reply's handler that adds the hit.
    QEventLoop run;
    connect(&m_program.results(), &ResultList::slotAdded, &run, [&run](int slot) {
        if (slot == 1)
            run.quit();
    });
    connect(&m_program, &Program::runFinished, &run, &QEventLoop::quit);
    m_window.titleBox()->setEditText(m_title);
    m_program.Lance(1);
    if (m_program.searching()) {
        run.exec();
        if (m_program.results().NbVignettes() > 1)
            save(&m_window, QStringLiteral("main_searching.png"));
        if (m_program.searching())
            run.exec();
    }
    wait(500);
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

    selectionShot(false, QStringLiteral("selection_marks.png"));
    fileErrorsShot();

    m_window.setCompact(true);
    save(&m_window, QStringLiteral("main_compact.png"));
    m_window.setCompact(false);

    bannerShot();
    optionsShots();
    viewerShots();

    auto *about = new AboutWindow(m_program.settings(), m_program.state().LangOffset, &m_window);
    about->show();
    save(about, QStringLiteral("about.png"));
    about->close();
    QApplication::quit();
}

void ScreenshotTour::selectionShot(bool singleBase, const QString &name)
{
    SettingsStore &store = m_program.settings();
    store.writeBool(QStringLiteral("BdD"), singleBase);
    m_program.catalogue().onActivated(store);
    SelectionWindow *selection = m_window.selectionWindow();
    selection->show();
    selection->placeBeside();
    save(selection, name);
    selection->hide();
}

void ScreenshotTour::fileErrorsShot()
{
    SelectionWindow *selection = m_window.selectionWindow();
    selection->show();
    auto *errors = selection->findChild<QLabel *>(QStringLiteral("FileErrors"));
    if (errors && errors->isVisible()) {
        const QPointF inside(5, 5);
        QMouseEvent release(QEvent::MouseButtonRelease, inside, errors->mapToGlobal(inside), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(errors, &release);
        if (auto *list = m_window.findChild<QDialog *>(QStringLiteral("FileErrorList"))) {
            save(list, QStringLiteral("selection_file_errors.png"));
            list->close();
        }
    }
    selection->hide();
}

void ScreenshotTour::wait(int ms)
{
    QEventLoop settle;
    QTimer::singleShot(ms, &settle, &QEventLoop::quit);
    settle.exec();
}

void ScreenshotTour::bannerShot()
{
    // A random banner replaces the first one: show that it rotates.
    for (int i = 0; i < 50 && m_window.bannerLabel()->pixmap().isNull(); ++i)
        wait(100);
    for (int i = 0; i < 8; ++i)
        m_window.banner().tick();
    wait(800);
    save(&m_window, QStringLiteral("main_banner.png"));
}

void ScreenshotTour::optionsShots()
{
    const int language = m_program.state().LangOffset;
    const char *names[] = {"general", "connection", "proxy", "update", "database", "pdf"};
    for (const int offset : {1000, 0}) {
        m_program.state().LangOffset = offset;
        OptionsWindow options(m_program, m_window.updateCheck(), &m_window);
        options.show();
        const QString suffix = offset == 0 ? QStringLiteral("_fr.png") : QStringLiteral(".png");
        for (int section = 0; section < OptionsForm::kSections; ++section) {
            options.showSection(section);
            save(&options, QStringLiteral("options_") + QString::fromLatin1(names[section]) + suffix);
        }
        options.done(QDialog::Rejected);
    }
    m_program.state().LangOffset = language;

    QCoro::waitFor(m_window.updateCheck().RNouvelleVersion());
    OptionsWindow announced(m_program, m_window.updateCheck(), &m_window);
    announced.show();
    save(&announced, QStringLiteral("options_update_announced.png"));
    announced.done(QDialog::Rejected);
    m_window.updateCheck().clearNouvelleVersion();
}

void ScreenshotTour::viewerShots()
{
    // The first hit's full picture, taller than the offscreen screen, and a small copy of it.
    int cascade = -900;
    const ResultList &results = m_program.results();
    int slot = 0;
    while (slot + 1 < results.NbResultats() && results.entry(slot + 1).Extra == u"PDF")
        ++slot;
    const QString full = m_program.state().DossierTemp + composeFileName(results.entry(slot + 1)) + QStringLiteral(".jpg");
    m_program.state().ClicDroit = false;
    m_program.retrieval().retrieve(slot, false);
    if (m_program.retrieval().downloading()) {
        QEventLoop retrieval;
        connect(&m_program.retrieval(), &Retrieval::finished, &retrieval, &QEventLoop::quit);
        retrieval.exec();
    }
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (qobject_cast<PosterViewer *>(widget))
            widget->close();
    const QString small = m_program.state().DossierTemp + QStringLiteral("small.jpg");
    QImage(full).scaledToWidth(220, Qt::SmoothTransformation).save(small);
    // Larger than the screen, whatever its size, so the viewer shows its scroll bars.
    const QString large = m_program.state().DossierTemp + QStringLiteral("large.jpg");
    const QSize screen = m_window.screen()->availableGeometry().size();
    QImage(full).scaled(screen * 3 / 2, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation).save(large);

    for (const auto &[path, name] : {std::pair{small, "viewer_small.png"}, std::pair{large, "viewer_large.png"}}) {
        auto *viewer = new PosterViewer(m_program, path, slot, cascade, &m_window);
        viewer->show();
        save(viewer, QString::fromLatin1(name));
        viewer->close();
    }
}
