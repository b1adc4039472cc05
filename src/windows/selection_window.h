#pragma once

#include "core/site_catalogue.h"

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <array>
#include <functional>

class OverLink;
class QCheckBox;
class QLabel;
class SettingsStore;

// The site-selection window: one row per base (a mark of how its last search
// ended, tick box, name, language and kind pictures, a link to the site), the
// group links and a close picture.
// It draws the catalogue's ticks and forwards every click to the catalogue.
// Hidden at start; the main window shows it, it hides itself.
class SelectionWindow : public QWidget
{
    Q_OBJECT

public:
    using LinkOpener = std::function<void(const QUrl &)>;

    // The window floats above `mainWindow` (its Qt parent) and is placed
    // relative to it whenever it becomes active.
    SelectionWindow(SiteCatalogue &catalogue, SettingsStore &store, QWidget *mainWindow);
    ~SelectionWindow() override;

    // Captions and tooltips in the language of `langOffset` (0 French, 1000 English).
    void retranslate(int langOffset);

    // What opens a site's home page; the system's browser by default.
    void setLinkOpener(LinkOpener opener);

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
    };

    void buildRow(int base);
    void buildGroupLink(int n);
    void buildClosePicture();
    void showTicks();
    void showReports();
    void refreshLinkTooltips();
    void openHomePage(int base);
    void styleSiteLink(int base, bool hovered);
    void styleGroupLink(int n, bool hovered);
    void onActivated();
    int modeHeight() const;
    bool tickBoxEvent(int base, QEvent *event);
    bool nameEvent(int base, QEvent *event);
    bool closePictureEvent(QEvent *event);

    SiteCatalogue &m_catalogue;
    SettingsStore &m_store;
    QPointer<QWidget> m_mainWindow;
    LinkOpener m_openLink;

    static constexpr int kGroupLinkCount = 6;
    static constexpr int kMarkCount = 4;

    int m_langOffset = 0;
    std::array<QPixmap, kMarkCount> m_markPictures; // by SiteReport::Mark

    std::array<Row, SiteCatalogue::kBuiltInCount> m_rows;
    std::array<QLabel *, kGroupLinkCount> m_groupLabels{};  // "Check all", "Check nothing"...
    std::array<OverLink *, kGroupLinkCount> m_groupLinks{}; // their hover and click
    QLabel *m_closePicture = nullptr;
    QLabel *m_pressedName = nullptr;
    bool m_closePressed = false;

    // Leaves pending events (a click on the main window's base box) time to
    // find the window still shown before it hides.
    QTimer m_hideAfterDeactivation;
};
