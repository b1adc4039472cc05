#include "windows/main_window.h"

#include "assembly/assembly.h"
#include "controls/folder_dialog.h"
#include "controls/over_button.h"
#include "controls/title_icon.h"
#include "controls/tool_tip.h"
#include "core/download_folders.h"
#include "core/program.h"
#include "core/search_history.h"
#include "core/site_catalogue.h"
#include "core/skin_region.h"
#include "output/retrieval.h"
#include "core/options.h"
#include "settings/settings_store.h"
#include "update/banner.h"
#include "update/update_check.h"
#include "update/version.h"
#include "windows/about_window.h"
#include "windows/desktop_output.h"
#include "windows/options_window.h"
#include "windows/selection_window.h"
#include "windows/thumb_strip.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QWindow>

namespace {

constexpr int kTwipsPerPixel = 15;
const QSize kLargeSize(800, 491);
const QSize kCompactSize(800, 67);
constexpr int kBusyTickMs = 40;
constexpr int kBandWidth = 175;
constexpr int kBandHeight = 8;
constexpr int kBandPeriod = 12;

// Title-bar icons: (picture, left edge) in the order of their numbers.
struct IconPlace
{
    const char *picture;
    int left;
};
constexpr IconPlace kIcons[4] = {
    {":/pictures/icon_minimise.png", 690},
    {":/pictures/icon_about.png", 726},
    {":/pictures/icon_close.png", 762},
    {":/pictures/icon_compact.png", 654},
};

constexpr int kMinimise = 0;
constexpr int kAbout = 1;
constexpr int kClose = 2;
constexpr int kCompact = 3;

const char kBoxStyle[] =
    "QComboBox, QLabel#summary { background: white; border: 1px solid rgb(160,172,204);"
    " border-radius: 3px; padding: 1px 4px; color: rgb(30,38,60); }"
    "QComboBox:disabled, QLabel#summary:disabled { background: rgb(236,240,250); color: rgb(120,128,150); }"
    "QComboBox::drop-down { border: none; width: 16px; }";

QLabel *caption(QWidget *parent, QRect geometry, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *label = new QLabel(parent);
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    label->setStyleSheet(QStringLiteral("color: rgb(44,56,92);"));
    return label;
}

} // namespace

MainWindow::MainWindow(Assembly &assembly, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_assembly(assembly)
    , m_program(assembly.program())
    , m_output(std::make_unique<DesktopOutput>(m_program, this))
    , m_update(std::make_unique<UpdateCheck>(m_program))
    , m_banner(new Banner(m_program, this))
    , m_openPage([](const QUrl &address) { QDesktopServices::openUrl(address); })
    , m_chooseFolder([this](const QString &start, const QString &title) { return ChoixDossier(this, start, title); })
    , m_skinLarge(QStringLiteral(":/pictures/skin_large.png"))
    , m_skinCompact(QStringLiteral(":/pictures/skin_compact.png"))
    , m_buttonSkin(QStringLiteral(":/pictures/button_skin.png"))
    , m_bandSource(QStringLiteral(":/pictures/busy_band.png"))
{
    setWindowTitle(QStringLiteral("Pellicam"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/pellicam.png")));
    setFixedSize(kLargeSize);
    QFont small = font();
    small.setPointSizeF(8.5);
    setFont(small);
    setStyleSheet(QString::fromLatin1(kBoxStyle));

    m_program.retrieval().setOutputActions(m_output.get());
    buildControls();
    connectProgram();
    // The session or the task bar may end the program without closing the window.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MainWindow::shutdown);
}

MainWindow::~MainWindow()
{
    m_program.retrieval().setOutputActions(nullptr);
}

QString MainWindow::text(int id) const
{
    return m_program.text(id);
}

void MainWindow::buildControls()
{
    m_titleText = new QLabel(QString(kProgramName) + u' ' + QString(kVersion), this);
    m_titleText->setGeometry(14, 8, 300, 20);
    m_titleText->setStyleSheet(QStringLiteral("color: white; font-weight: bold; font-size: 11pt;"));
    m_titleText->installEventFilter(this);

    for (int i = 0; i < 4; ++i) {
        m_icons[i] = new TitleIcon(QPixmap(QString::fromLatin1(kIcons[i].picture)), this);
        m_icons[i]->move(kIcons[i].left, 2);
    }
    connect(m_icons[kMinimise], &TitleIcon::activated, this, &QWidget::showMinimized);
    connect(m_icons[kAbout], &TitleIcon::activated, this, &MainWindow::showAbout);
    connect(m_icons[kClose], &TitleIcon::activated, this, &QWidget::close);
    connect(m_icons[kCompact], &TitleIcon::activated, this, [this] { setCompact(!m_compact); });

    m_captions[1] = caption(this, QRect(25, 41, 82, 18));
    m_title = new QComboBox(this);
    m_title->setEditable(true);
    m_title->setInsertPolicy(QComboBox::NoInsert);
    m_title->setCompleter(nullptr);
    m_title->setGeometry(108, 40, 262, 22);
    m_title->installEventFilter(this);
    m_title->lineEdit()->installEventFilter(this);

    auto button = [this](QRect geometry, const char *icon) {
        auto *b = new OverButton(this);
        b->setGeometry(geometry);
        b->setIcon(QPixmap(QString::fromLatin1(icon)));
        b->setSkin(m_buttonSkin);
        b->Refresh();
        return b;
    };
    m_search = button(QRect(376, 39, 103, 23), ":/pictures/icon_search.png");
    m_search->setFlipFlapIcons(QPixmap(QStringLiteral(":/pictures/icon_search.png")),
                               QPixmap(QStringLiteral(":/pictures/icon_stop.png")));
    m_captions[3] = caption(this, QRect(482, 41, 102, 18), Qt::AlignRight | Qt::AlignVCenter);
    m_folders = new QComboBox(this);
    m_folders->setGeometry(588, 40, 190, 22);

    m_status = caption(this, QRect(25, 87, 300, 32), Qt::AlignLeft | Qt::AlignTop);
    m_status->setWordWrap(true);
    m_status->installEventFilter(this);
    m_captions[2] = caption(this, QRect(335, 85, 118, 20), Qt::AlignRight | Qt::AlignVCenter);
    m_siteListToggle = new QLabel(this);
    m_siteListToggle->setPixmap(QPixmap(QStringLiteral(":/pictures/site_list_toggle.png")));
    m_siteListToggle->setGeometry(459, 86, 16, 17);
    m_siteListToggle->setCursor(Qt::PointingHandCursor);
    m_siteListToggle->installEventFilter(this);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setGeometry(479, 84, 195, 21);
    m_summary->setCursor(Qt::PointingHandCursor);
    m_summary->installEventFilter(this);
    m_modify = button(QRect(681, 83, 103, 23), ":/pictures/icon_folder.png");
    m_options = button(QRect(681, 429, 103, 23), ":/pictures/icon_options.png");
    for (QLabel *label : m_captions)
        if (label)
            label->installEventFilter(this);

    for (int i = 0; i < 2; ++i) {
        m_busyBands[i] = new QLabel(this);
        m_busyBands[i]->setGeometry(i == 0 ? 25 : 600, 110, kBandWidth, kBandHeight);
        m_busyBands[i]->hide();
    }
    m_completion.setSingleShot(true);
    m_completion.setInterval(0);
    connect(&m_completion, &QTimer::timeout, this, &MainWindow::applyCompletion);
    m_busyTimer.setInterval(kBusyTickMs);
    connect(&m_busyTimer, &QTimer::timeout, this, &MainWindow::tickBusyBand);

    m_strip = new ThumbStrip(m_program, this);
    m_strip->setGeometry(15, 116, 770, 268);
    m_scroll = new QScrollBar(Qt::Horizontal, this);
    m_scroll->setGeometry(25, 386, 757, 14);
    m_scroll->hide();

    m_selection = new SelectionWindow(m_program.catalogue(), m_program.settings(), this);
    m_selection->setReloader([this] {
        m_assembly.reloadSiteFiles();
        return !m_assembly.reloadPending();
    });

    m_bannerLabel = new QLabel(this);
    m_bannerLabel->setGeometry(2490 / kTwipsPerPixel, 6165 / kTwipsPerPixel, 468, 60);
    m_bannerLabel->setCursor(Qt::PointingHandCursor);
    m_bannerLabel->installEventFilter(this);
    connect(m_banner, &Banner::pictureChanged, this, [this](const QImage &picture) {
        m_bannerLabel->setPixmap(QPixmap::fromImage(picture));
    });
    connect(m_banner, &Banner::linkChanged, this, [this](const QString &link) {
        m_bannerLabel->setToolTip(ToolTip::plainText(link.trimmed()));
    });
}

void MainWindow::connectProgram()
{
    Program &program = m_program;
    connect(&program, &Program::statusChanged, this, [this](const QString &status, int top) {
        m_status->setText(status);
        m_status->move(25, top / kTwipsPerPixel);
    });
    connect(&program, &Program::busyChanged, this, [this](bool busy) {
        for (QLabel *band : m_busyBands)
            band->setVisible(busy);
        setLargeFormTimers(!m_compact && !isMinimized());
    });
    connect(&program, &Program::searchCaptionChanged, this, [this](bool stop) {
        m_search->setCaption(text(stop ? 4 : 5));
        m_search->FlipFlap(!stop);
    });
    connect(&program, &Program::searchButtonEnabledChanged, m_search, &QWidget::setEnabled);
    connect(&program, &Program::inputEnabledChanged, this, [this](bool enabled) {
        m_title->setEnabled(enabled);
        m_summary->setEnabled(enabled);
        m_siteListToggle->setEnabled(enabled);
    });
    connect(&program, &Program::waitCursorChanged, this, [](bool waiting) {
        if (waiting)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            while (QApplication::overrideCursor())
                QApplication::restoreOverrideCursor();
    });
    connect(&program, &Program::titleChanged, this, [this](const QString &title) {
        if (m_title->currentText() != title)
            m_title->setEditText(title);
    });
    connect(&program.history(), &SearchHistory::entriesChanged, this, &MainWindow::refillHistory);
    connect(&program.catalogue(), &SiteCatalogue::summaryChanged, m_summary, &QLabel::setText);
    connect(&program.results(), &ResultList::stripChanged, this, &MainWindow::updateScrollBar);

    connect(m_title->lineEdit(), &QLineEdit::textChanged, &program, &Program::setTitle);
    connect(m_title->lineEdit(), &QLineEdit::textEdited, this, &MainWindow::completeTitle);
    connect(m_search, &OverButton::MouseUp, this, [this](int button) { m_program.Lance(button == 2 ? 2 : 1); });
    connect(m_modify, &OverButton::MouseUp, this, &MainWindow::changeFolder);
    connect(m_options, &OverButton::MouseUp, this, &MainWindow::openOptions);
    connect(m_folders, &QComboBox::currentTextChanged, &program.retrieval(), &Retrieval::setSaveFolder);
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_updatingScrollBar)
            m_program.results().scrollTo(value);
    });
    connect(m_strip, &ThumbStrip::downloadClicked, this, &MainWindow::downloadHit);

    // An update found during a search or a download is announced once it ends.
    // Queued: the answer arrives inside a network reply's handler, and the
    // announcement may open the options window, which runs a loop of its own.
    connect(m_update.get(), &UpdateCheck::newerVersionFound, this, &MainWindow::announceUpdate, Qt::QueuedConnection);
    connect(&program, &Program::runFinished, this, &MainWindow::announceUpdate, Qt::QueuedConnection);
    connect(&program.retrieval(), &Retrieval::finished, this, &MainWindow::announceUpdate, Qt::QueuedConnection);
    connect(&program, &Program::busyChanged, this, [this](bool busy) {
        if (!busy)
            QMetaObject::invokeMethod(this, &MainWindow::announceUpdate, Qt::QueuedConnection);
    });
}

void MainWindow::start()
{
    fillFolders();

    m_assembly.readSettings(screen()->size() * kTwipsPerPixel);
    Traduction();
    restorePosition();
    applySkin();
    Traduction();

    show();
    m_program.EffaceResultats();
    m_title->setFocus();

    // Neither waits for the maker's site, which may never answer.
    m_update->startUpCheck();
    m_bannerStarted = true;
    m_banner->start();
    setLargeFormTimers(!m_compact && !isMinimized());
}

void MainWindow::setPageOpener(std::function<void(const QUrl &)> opener)
{
    m_openPage = std::move(opener);
}

void MainWindow::openPage(const QUrl &address)
{
    if (m_openPage && address.isValid() && !address.isEmpty())
        m_openPage(address);
}

void MainWindow::fillFolders()
{
    const SettingsStore &store = m_program.settings();
    const QStringList folders = DownloadFolders::list(store);
    m_folders->clear();
    m_folders->addItems(folders);
    m_folders->setCurrentIndex(DownloadFolders::selectedIndex(store, int(folders.size())));
    m_program.retrieval().setSaveFolder(m_folders->currentText());
}

void MainWindow::restorePosition()
{
    const SettingsStore &store = m_program.settings();
    if (store.readBool(QStringLiteral("Form-Position")).value_or(false)) {
        // A first run without a screen (the command line's) stores no position:
        // the window is then centred as on a first run.
        bool topRead = false;
        bool leftRead = false;
        const int top = store.LitValeur(QStringLiteral("Form-Top")).toInt(&topRead);
        const int left = store.LitValeur(QStringLiteral("Form-Left")).toInt(&leftRead);
        if (topRead && leftRead) {
            move(left / kTwipsPerPixel, top / kTwipsPerPixel);
            return;
        }
    }
    const QSize area = screen()->size();
    move((area.width() * kTwipsPerPixel - 12000) / 2 / kTwipsPerPixel,
         (area.height() * kTwipsPerPixel - 7365) / 2 / kTwipsPerPixel);
}

void MainWindow::applySkin()
{
    setMask(m_compact ? SkinRegion::RegionPetit(m_skinCompact) : SkinRegion::RegionGrand(m_skinLarge));
    update();
}

void MainWindow::Traduction()
{
    m_captions[1]->setText(text(1));
    m_captions[2]->setText(text(2));
    m_captions[3]->setText(text(3));
    m_search->setCaption(text(m_program.searchCaptionShowsStop() ? 4 : 5));
    m_options->setCaption(text(6));
    m_modify->setCaption(text(7));
    for (int i = 0; i < 4; ++i) {
        auto tip = std::make_unique<ToolTip>();
        tip->setParentWidget(m_icons[i]);
        tip->setText(text(15 + i));
        m_iconTips[i].reset();
        tip->Create();
        m_iconTips[i] = std::move(tip);
    }
    m_selection->retranslate(m_program.state().LangOffset);
}

void MainWindow::setCompact(bool compact)
{
    if (compact == m_compact)
        return;
    m_compact = compact;
    m_title->setVisible(!compact);
    m_search->setVisible(!compact);
    m_captions[1]->setVisible(!compact);
    setFixedSize(compact ? kCompactSize : kLargeSize);
    // The strip may have grown while the window was compact.
    updateScrollBar();
    applySkin();
    setLargeFormTimers(!compact && !isMinimized());
}

void MainWindow::setLargeFormTimers(bool running)
{
    if (m_bannerStarted)
        m_banner->setRunning(running);
    if (running && m_program.busy())
        m_busyTimer.start();
    else
        m_busyTimer.stop();
}

bool MainWindow::busyBandsShown() const
{
    return m_busyBands[0]->isVisible() && m_busyTimer.isActive();
}

void MainWindow::tickBusyBand()
{
    const QPixmap band = m_bandSource.copy(m_bandOffset, 0, kBandWidth, kBandHeight);
    for (QLabel *label : m_busyBands)
        label->setPixmap(band);
    if (--m_bandOffset < 1)
        m_bandOffset = kBandPeriod;
}

void MainWindow::refillHistory()
{
    const QString title = m_program.title();
    const QSignalBlocker blocker(m_title);
    m_title->clear();
    m_title->addItems(m_program.history().entries());
    m_title->setEditText(title);
}

void MainWindow::completeTitle()
{
    if (!m_frappe)
        return;
    m_frappe = false;
    // The line edit is still handling the key: complete once it is done with it.
    m_completionCaret = m_title->lineEdit()->cursorPosition();
    m_completionAfterBackspace = m_effacementClavier;
    m_completion.start();
}

void MainWindow::applyCompletion()
{
    QLineEdit *edit = m_title->lineEdit();
    const auto completed =
        SearchHistory::completion(m_program.history().entries(), edit->text(), m_completionAfterBackspace);
    if (!completed)
        return;
    edit->setText(*completed);
    edit->setSelection(m_completionCaret, int(completed->size()) - m_completionCaret);
}

void MainWindow::updateScrollBar()
{
    const ResultList::ScrollBar &bar = m_program.results().scrollBar();
    m_updatingScrollBar = true;
    m_scroll->setRange(0, bar.maximum);
    m_scroll->setPageStep(bar.largeStep);
    m_scroll->setSingleStep(bar.smallStep);
    m_scroll->setValue(bar.value);
    m_scroll->setVisible(bar.visible && !m_compact);
    m_updatingScrollBar = false;
}

void MainWindow::toggleSelectionWindow()
{
    if (m_selection->isVisible()) {
        m_selection->hide();
        return;
    }
    m_selection->show();
    m_selection->raise();
    m_selection->activateWindow();
}

void MainWindow::setFolderChooser(FolderChooser chooser)
{
    m_chooseFolder = std::move(chooser);
}

void MainWindow::downloadHit(int slot)
{
    // Without a download folder the copy has nowhere to go: one is chosen first.
    if (m_program.retrieval().saveFolder().isEmpty() && !m_program.retrieval().downloading()) {
        changeFolder();
        if (m_program.retrieval().saveFolder().isEmpty())
            return;
    }
    m_program.retrieval().downloadClicked(slot);
}

void MainWindow::changeFolder()
{
    const QString folder = m_chooseFolder(m_folders->currentText(), text(19));
    if (folder.isEmpty())
        return;
    const int systemFolders = int(DownloadFolders::systemFolders().size());
    const int listed = m_folders->findText(folder);
    if (listed >= 0 && listed < systemFolders) {
        m_folders->setCurrentIndex(listed);
        return;
    }
    while (m_folders->count() > systemFolders)
        m_folders->removeItem(m_folders->count() - 1);
    m_folders->addItem(folder);
    m_folders->setCurrentIndex(m_folders->count() - 1);
    m_program.settings().EcritValeur(QStringLiteral("Folder-User"), folder);
}

void MainWindow::announceUpdate()
{
    if (m_shutDown || m_program.searching() || m_program.busy() || m_program.retrieval().downloading())
        return;
    // Not over another dialog either: once that one closes.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            connect(dialog, &QDialog::finished, this, &MainWindow::announceUpdate,
                    Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
        return;
    }
    if (m_update->announceFound())
        openOptions();
}

void MainWindow::openOptions()
{
    {
        OptionsWindow options(m_program, *m_update, this);
        options.setPageOpener([this](const QUrl &address) { openPage(address); });
        connect(&options, &OptionsWindow::languageChanged, this, &MainWindow::Traduction);
        options.exec();
    }
    LitOptions(m_program.settings(), m_program.state(), m_program.catalogue(),
               screen()->size() * kTwipsPerPixel);
    Traduction();
}

void MainWindow::showAbout()
{
    // One at a time; a closed one is on its way out.
    auto *about = findChild<AboutWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (!about || !about->isVisible())
        about = new AboutWindow(m_program.settings(), m_program.state().LangOffset, this);
    about->show();
    about->raise();
    about->activateWindow();
}

void MainWindow::moveWindow()
{
    if (QWindow *window = windowHandle())
        window->startSystemMove();
}

void MainWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_compact ? m_skinCompact : m_skinLarge);
}

void MainWindow::mousePressEvent(QMouseEvent *)
{
    moveWindow();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The box is its line edit's focus proxy: keys and focus reach the box,
    // which hands them on past any filter (tests may send them to the edit).
    if (watched == m_title || watched == m_title->lineEdit()) {
        // Not on the activation that comes before a click on the main window: that
        // click may be the toggle's, and a deactivated selection window hides itself.
        if (event->type() == QEvent::FocusIn
            && static_cast<QFocusEvent *>(event)->reason() != Qt::ActiveWindowFocusReason)
            m_selection->hide();
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            m_frappe = true;
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                if (!m_title->currentText().isEmpty())
                    m_program.Lance(1);
                return true;
            }
            m_effacementClavier = key->key() == Qt::Key_Backspace;
        }
        return false;
    }
    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (watched == m_siteListToggle && m_siteListToggle->isEnabled()) {
        if (press)
            m_siteListToggle->move(460, 87);
        if (release) {
            m_siteListToggle->move(459, 86);
            toggleSelectionWindow();
        }
        return press || release;
    }
    if (watched == m_bannerLabel && release) {
        const QUrl link(m_banner->link().trimmed());
        // Only web pages: the link comes from the network.
        if (link.scheme() == u"http" || link.scheme() == u"https")
            openPage(link);
        return true;
    }
    if (watched == m_summary && press && m_summary->isEnabled()) {
        toggleSelectionWindow();
        return true;
    }
    const bool dragHandle = watched == m_status || watched == m_titleText
                            || std::find(m_captions.begin(), m_captions.end(), watched) != m_captions.end();
    if (press && dragHandle) {
        moveWindow();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange)
        setLargeFormTimers(!m_compact && !isMinimized());
    QWidget::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A search or a download under way ends here: its reads and posts are dropped.
    m_program.shutDown();
    shutdown();
    m_selection->hide();
    event->accept();
    emit closed();
}

void MainWindow::shutdown()
{
    // Every way out stores the settings, but only once.
    if (m_shutDown)
        return;
    m_shutDown = true;
    SettingsStore &store = m_program.settings();
    if (store.readBool(QStringLiteral("Form-Position")).value_or(false)) {
        store.EcritValeur(QStringLiteral("Form-Left"), QString::number(x() * kTwipsPerPixel));
        store.EcritValeur(QStringLiteral("Form-Top"), QString::number(y() * kTwipsPerPixel));
    }
    m_program.catalogue().save(store);
    store.EcritValeur(QStringLiteral("Folder-Id"), QString::number(m_folders->currentIndex() + 1));
    emptyCacheFolder();
}

void MainWindow::emptyCacheFolder()
{
    QDir cache(m_program.state().DossierTemp);
    for (const QFileInfo &file : cache.entryInfoList(QDir::Files | QDir::Hidden)) {
        const QString suffix = file.suffix().toLower();
        if (suffix == u"jpg" || suffix == u"pdf" || suffix == u"xml" || !file.fileName().contains(u'.'))
            QFile::remove(file.filePath());
    }
}
