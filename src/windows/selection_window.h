#pragma once

#include "core/site_catalogue.h"

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

class OverLink;
class QCheckBox;
class QDialog;
class QLabel;
class QScrollArea;
class SettingsStore;

// The site-selection window: one row per base (a mark of how its last search
// ended, tick box, name, language and kind pictures, a link to the site), the
// built-in bases first, then those of site files, scrolling past a few; the
// group links, how many site files are broken, a reload link and a close picture.
// It draws the catalogue's ticks and forwards every click to the catalogue.
// Hidden at start; the main window shows it, it hides itself.
class SelectionWindow : public QWidget
{
    Q_OBJECT

public:
    using LinkOpener = std::function<void(const QUrl &)>;
    // Reads the site folders again: true when done now, false when it waits
    // for the search under way to end.
    using Reloader = std::function<bool()>;

    // The window floats above `mainWindow` (its Qt parent) and is placed
    // relative to it whenever it becomes active.
    SelectionWindow(SiteCatalogue &catalogue, SettingsStore &store, QWidget *mainWindow);
    ~SelectionWindow() override;

    // Captions and tooltips in the language of `langOffset` (0 French, 1000 English).
    void retranslate(int langOffset);

    // What opens a site's home page; the system's browser by default.
    void setLinkOpener(LinkOpener opener);
    // What the reload link and F5 call; without one they do nothing.
    void setReloader(Reloader reloader);

    // Where and how tall the window is once active: beside the main window,
    // shorter in single-base mode.
    void placeBeside();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Row
    {
        QLabel *mark = nullptr;       // how the base's last search ended
        QCheckBox *check = nullptr;   // its tick
        QLabel *name = nullptr;       // a click picks the base in single-base mode
        QLabel *language = nullptr;   // the flag of the site's language
        QLabel *kind = nullptr;       // posters or jackets
        QLabel *site = nullptr;       // the link to the site's home page
        OverLink *siteLink = nullptr; // the link's hover and click
        QLabel *file = nullptr;       // the site file that runs the base, if any
    };

    void buildRows();
    void buildRow(QWidget *area, int base);
    void buildGroupLink(int n);
    void buildClosePicture();
    void buildFileLinks();
    QLabel *buildTextLink(const QString &name, QColor colour, void (SelectionWindow::*onClick)());
    void placeBottom();
    void translateRows();
    void showFileErrorCount();
    void showFileErrors();
    void reload();
    void showReloadLink();
    void showTicks();
    void showReports();
    void refreshLinkTooltips();
    void openHomePage(int base);
    void styleSiteLink(int base, bool hovered);
    void styleGroupLink(int n, bool hovered);
    static void styleTextLink(QLabel *label, const QColor &colour, bool hovered);
    void onActivated();
    int modeHeight() const;
    // Beyond the fourteen built-in rows, those shown without scrolling.
    int extraRowsShown() const;
    bool tickBoxEvent(int base, QEvent *event);
    bool nameEvent(int base, QEvent *event);
    bool closePictureEvent(QEvent *event);

    SiteCatalogue &m_catalogue;
    SettingsStore &m_store;
    QPointer<QWidget> m_mainWindow;
    LinkOpener m_openLink;
    Reloader m_reload;

    static constexpr int kGroupLinkCount = 6;
    static constexpr int kMarkCount = 4;

    int m_langOffset = 0;
    std::array<QPixmap, kMarkCount> m_markPictures; // by SiteReport::Mark
    QPixmap m_filePicture;

    QScrollArea *m_rowScroll = nullptr;
    std::vector<Row> m_rows; // by base
    QLabel *m_fileErrors = nullptr; // "2 broken site files", a click lists them
    QLabel *m_reloadLink = nullptr;
    bool m_reloadWaits = false;
    QPointer<QDialog> m_errorList;
    std::array<QLabel *, kGroupLinkCount> m_groupLabels{};  // "Check all", "Check nothing"...
    std::array<OverLink *, kGroupLinkCount> m_groupLinks{}; // their hover and click
    QLabel *m_closePicture = nullptr;
    QLabel *m_pressedName = nullptr;
    bool m_closePressed = false;

    // Leaves pending events (a click on the main window's base box) time to
    // find the window still shown before it hides.
    QTimer m_hideAfterDeactivation;
};
