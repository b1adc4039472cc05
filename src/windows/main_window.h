#pragma once

#include <QImage>
#include <QList>
#include <QPixmap>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class DesktopOutput;
class OverButton;
class Assembly;
class Program;
class QComboBox;
class QLabel;
class QScrollBar;
class SelectionWindow;
class ThumbStrip;
class TitleIcon;
class ToolTip;
class Banner;
class UpdateCheck;

// The program's window: a skinned, frameless form in a large and a compact
// shape. It draws the core's state and forwards the user's input to it.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(Assembly &assembly, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The start-up: settings, folders, position, history, skin, ticks, texts.
    void start();
    // Re-captions the window, its title-bar tooltips and the selection window.
    void Traduction();

    bool compact() const { return m_compact; }
    void setCompact(bool compact);

    // For tests and the screenshot tour.
    QComboBox *titleBox() const { return m_title; }
    QComboBox *folderList() const { return m_folders; }
    OverButton *searchButton() const { return m_search; }
    ThumbStrip *strip() const { return m_strip; }
    SelectionWindow *selectionWindow() const { return m_selection; }
    QLabel *statusLabel() const { return m_status; }
    QLabel *bannerLabel() const { return m_bannerLabel; }
    // The striped bands above the strip: shown and moving while busy.
    bool busyBandsShown() const;
    Banner &banner() { return *m_banner; }
    UpdateCheck &updateCheck() { return *m_update; }
    QScrollBar *scrollBar() const { return m_scroll; }
    void toggleSelectionWindow();
    // The options window, modal; the settings are read again once it closes.
    void openOptions();
    // Opens web pages; the desktop's browser unless replaced (tests).
    void setPageOpener(std::function<void(const QUrl &)> opener);
    // The folder browser (start folder, title): the chosen folder, or empty
    // when cancelled; the project's own unless replaced (tests).
    using FolderChooser = std::function<QString(const QString &, const QString &)>;
    void setFolderChooser(FolderChooser chooser);

signals:
    // The window closed after storing its settings: the program may end.
    void closed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void connectProgram();
    void fillFolders();
    void restorePosition();
    void applySkin();
    void shutdown();
    void emptyCacheFolder();
    void changeFolder();
    void downloadHit(int slot);
    void announceUpdate();
    void showAbout();
    void openPage(const QUrl &address);
    void completeTitle();
    void applyCompletion();
    void refillHistory();
    void updateScrollBar();
    void tickBusyBand();
    void setLargeFormTimers(bool running);
    void moveWindow();
    QString text(int id) const;

    Assembly &m_assembly;
    Program &m_program;
    std::unique_ptr<DesktopOutput> m_output;
    std::unique_ptr<UpdateCheck> m_update;
    Banner *m_banner = nullptr;
    std::function<void(const QUrl &)> m_openPage;
    FolderChooser m_chooseFolder;
    bool m_shutDown = false;
    bool m_bannerStarted = false;
    QImage m_skinLarge;
    QImage m_skinCompact;
    QPixmap m_buttonSkin;
    QPixmap m_bandSource;
    bool m_compact = false;
    bool m_frappe = false;
    bool m_effacementClavier = false;
    bool m_updatingScrollBar = false;
    int m_bandOffset = 0;
    QTimer m_completion;
    int m_completionCaret = 0;
    bool m_completionAfterBackspace = false;

    QLabel *m_titleText = nullptr;
    std::array<TitleIcon *, 4> m_icons{};
    std::array<std::unique_ptr<ToolTip>, 4> m_iconTips;
    std::array<QLabel *, 4> m_captions{};
    QComboBox *m_title = nullptr;
    OverButton *m_search = nullptr;
    QComboBox *m_folders = nullptr;
    OverButton *m_modify = nullptr;
    OverButton *m_options = nullptr;
    QLabel *m_summary = nullptr;
    QLabel *m_siteListToggle = nullptr;
    QLabel *m_status = nullptr;
    std::array<QLabel *, 2> m_busyBands{};
    QTimer m_busyTimer;
    ThumbStrip *m_strip = nullptr;
    QLabel *m_bannerLabel = nullptr;
    QScrollBar *m_scroll = nullptr;
    SelectionWindow *m_selection = nullptr;
};
