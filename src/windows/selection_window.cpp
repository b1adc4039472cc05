#include "windows/selection_window.h"

#include "controls/over_link.h"
#include "controls/tool_tip.h"
#include "settings/settings_store.h"
#include "settings/string_table.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using Language = SiteCatalogue::Language;
using Kind = SiteCatalogue::Kind;

constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips)
{
    return twips / kTwipsPerPixel;
}

constexpr int kWidth = px(5160);
// In single-base mode the group links and the close picture fall below the bottom edge.
constexpr int kSingleBaseHeight = px(3495);
constexpr int kSeveralBasesHeight = px(4425);
constexpr QPoint kOffsetFromMainWindow(px(1980), px(1575));

constexpr int kRowTop = 150;
constexpr int kTickTop = 135;
constexpr int kRowStep = 225;
constexpr int kTickLeft = 240;
constexpr int kTickSize = 255;
constexpr int kNameLeft = 540;
// 2235 was sized for a narrow 8-point font; reaching to just short of the flag
// column keeps "Internet Movie Poster Awards" whole with wider ones.
constexpr int kNameWidth = 2520;
constexpr int kRowHeight = 255;
constexpr int kLanguageLeft = 3120;
constexpr int kKindLeft = 3450;
constexpr int kPictureBox = 210;
constexpr int kSiteLeft = 3825;
constexpr int kSiteWidth = 1035;

// In pixels: the free space left of the tick box.
constexpr int kMarkLeft = 3;
constexpr int kMarkSize = 10;
// A page drawn after the name of a base that a site file runs.
constexpr QSize kFileMarkSize(8, 10);
// Rows of site files shown below the built-in ones before the rows scroll.
constexpr int kMaxExtraRows = 8;

constexpr int kDarkLineTop = 3465;
constexpr int kLightLineTop = 3480;

constexpr std::array<QPoint, 6> kGroupLinkPlaces = {{
    {240, 3585}, {240, 3825}, {1560, 3585}, {1560, 3825}, {3060, 3585}, {3060, 3825},
}};
constexpr QPoint kClosePicturePlace(2280, 4095);
// On the close picture's line: broken files at the left, reload at the right.
constexpr int kFileLinksTop = 4095;
constexpr int kFileErrorsLeft = 240;
constexpr int kReloadRight = kSiteLeft + kSiteWidth;

constexpr QColor kBackground(213, 222, 242);
constexpr QColor kDarkLine(176, 184, 203);
constexpr QColor kSiteLinkColour(120, 145, 216);
constexpr QColor kSiteLinkHoverColour(0, 0, 255);
constexpr QColor kGroupLinkColour(128, 128, 128);
constexpr QColor kGroupLinkHoverColour(0, 0, 0);
constexpr QColor kFoundColour(46, 160, 67);
constexpr QColor kNoHitColour(128, 128, 128);
constexpr QColor kFailedColour(214, 48, 49);

constexpr int kFontPointSize = 8;
constexpr int kHideDelayMs = 251;

constexpr int kTextSiteLink = 204;
constexpr int kTextFirstGroupLink = 205;
constexpr int kTextDescribedBy = 215;
constexpr int kTextOneBrokenFile = 216;
constexpr int kTextBrokenFiles = 217; // begins with a blank: it follows the count
constexpr int kTextShowErrors = 218;
constexpr int kTextReload = 219;
constexpr int kTextReloadTip = 220;
constexpr int kTextReloadWaits = 221;
constexpr int kTextErrorListTitle = 222;
constexpr int kTextClose = 17;

int languageText(Language language)
{
    switch (language) {
    case Language::Fr: return 200;
    case Language::Us: return 201;
    case Language::FrUs: return 214;
    }
    return 200;
}

int kindText(Kind kind)
{
    return kind == Kind::Jackets ? 203 : 202;
}

QString languagePicture(Language language)
{
    switch (language) {
    case Language::Fr: return QStringLiteral(":/pictures/flag_fr.png");
    case Language::Us: return QStringLiteral(":/pictures/flag_us.png");
    case Language::FrUs: return QStringLiteral(":/pictures/flag_frus.png");
    }
    return {};
}

QString kindPicture(Kind kind)
{
    return kind == Kind::Jackets ? QStringLiteral(":/pictures/sign_jacket.png")
                                 : QStringLiteral(":/pictures/sign_poster.png");
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// Keeps the text already shown when the table has no such text.
void setTranslatedText(QLabel *label, int id, int langOffset)
{
    if (const std::optional<QString> text = StringTable::text(id, langOffset))
        label->setText(*text);
}

void setTranslatedToolTip(QWidget *widget, int id, int langOffset)
{
    if (const std::optional<QString> text = StringTable::text(id, langOffset))
        widget->setToolTip(*text);
}

QLabel *pictureLabel(QWidget *parent, const QString &resource, const QRect &box)
{
    auto *label = new QLabel(parent);
    label->setGeometry(box);
    label->setAlignment(Qt::AlignCenter);
    label->setPixmap(QPixmap(resource)); // a missing picture leaves the box empty
    return label;
}

// A filled dot, or a ring for a site that answered without hit; none for Mark::None.
QPixmap markPicture(SiteReport::Mark mark, qreal pixelRatio)
{
    using Mark = SiteReport::Mark;
    if (mark == Mark::None)
        return {};
    QPixmap picture(QSize(kMarkSize, kMarkSize) * pixelRatio);
    picture.setDevicePixelRatio(pixelRatio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour = mark == Mark::Found ? kFoundColour : mark == Mark::Failed ? kFailedColour : kNoHitColour;
    const qreal penWidth = mark == Mark::NoHit ? 1.5 : 1.0;
    painter.setPen(QPen(mark == Mark::NoHit ? colour : colour.darker(130), penWidth));
    painter.setBrush(mark == Mark::NoHit ? QBrush(Qt::NoBrush) : QBrush(colour));
    const qreal inset = penWidth / 2;
    painter.drawEllipse(QRectF(0, 0, kMarkSize, kMarkSize).adjusted(inset, inset, -inset, -inset));
    return picture;
}

QPixmap fileMarkPicture(qreal pixelRatio)
{
    QPixmap picture(kFileMarkSize * pixelRatio);
    picture.setDevicePixelRatio(pixelRatio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    const int w = kFileMarkSize.width() - 1, h = kFileMarkSize.height() - 1, fold = 3;
    painter.setPen(kNoHitColour);
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygon({QPoint(0, 0), QPoint(w - fold, 0), QPoint(w, fold), QPoint(w, h), QPoint(0, h)}));
    painter.drawLine(2, 4, w - 2, 4);
    painter.drawLine(2, 6, w - 2, 6);
    return picture;
}

QString text(int id, int langOffset)
{
    return StringTable::text(id, langOffset).value_or(QString());
}

} // namespace

SelectionWindow::SelectionWindow(SiteCatalogue &catalogue, SettingsStore &store, QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Tool | Qt::FramelessWindowHint)
    , m_catalogue(catalogue)
    , m_store(store)
    , m_mainWindow(mainWindow)
    , m_openLink([](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("Bases"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kBackground);
    palette.setColor(QPalette::Button, kBackground);
    setPalette(palette);
    setAutoFillBackground(true);
    QFont font = this->font();
    font.setPointSize(kFontPointSize);
    setFont(font);

    for (int mark = 0; mark < kMarkCount; ++mark)
        m_markPictures[size_t(mark)] = markPicture(SiteReport::Mark(mark), devicePixelRatioF());
    m_filePicture = fileMarkPicture(devicePixelRatioF());
    m_rowScroll = new QScrollArea(this);
    m_rowScroll->setObjectName(QStringLiteral("Rows"));
    m_rowScroll->setFrameShape(QFrame::NoFrame);
    m_rowScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_rowScroll->setFocusPolicy(Qt::NoFocus);
    m_rowScroll->viewport()->setAutoFillBackground(false);
    for (int n = 0; n < kGroupLinkCount; ++n)
        buildGroupLink(n);
    buildClosePicture();
    buildFileLinks();

    m_hideAfterDeactivation.setSingleShot(true);
    m_hideAfterDeactivation.setInterval(kHideDelayMs);
    connect(&m_hideAfterDeactivation, &QTimer::timeout, this, &QWidget::hide);

    connect(&m_catalogue, &SiteCatalogue::ticksChanged, this, &SelectionWindow::showTicks);
    connect(&m_catalogue, &SiteCatalogue::hideRequested, this, &QWidget::hide);
    connect(&m_catalogue, &SiteCatalogue::reportsChanged, this, &SelectionWindow::showReports);
    connect(&m_catalogue, &SiteCatalogue::basesChanged, this, &SelectionWindow::buildRows);

    buildRows();
    retranslate(0);
}

SelectionWindow::~SelectionWindow() = default;

// Built again whenever the site files are read again.
void SelectionWindow::buildRows()
{
    auto *area = new QWidget;
    m_rows.assign(size_t(m_catalogue.baseCount()), Row());
    for (int base = 0; base < m_catalogue.baseCount(); ++base)
        buildRow(area, base);
    const int extraRows = int(m_catalogue.rowOrder().size()) - SiteCatalogue::kBuiltInCount;
    area->resize(kWidth, px(kDarkLineTop + kRowStep * extraRows));
    // The old rows may be what the event under way is about.
    if (QWidget *old = m_rowScroll->takeWidget())
        old->deleteLater();
    m_pressedName = nullptr;
    m_rowScroll->setWidget(area);
    area->setAutoFillBackground(false);

    m_reloadWaits = false;
    showReloadLink();
    translateRows();
    refreshLinkTooltips();
    showTicks();
    showReports();
    showFileErrorCount();
    placeBottom();
    resize(kWidth, modeHeight());
}

void SelectionWindow::buildRow(QWidget *area, int base)
{
    const SiteCatalogue::BaseInfo &info = m_catalogue.bases()[base];
    const int rowTop = kRowTop + kRowStep * info.row;
    const QString number = QString::number(base);
    Row &row = m_rows[size_t(base)];
    const QRect tickBox = twipsRect(kTickLeft, kTickTop + kRowStep * info.row, kTickSize, kTickSize);

    row.mark = new QLabel(area);
    row.mark->setObjectName(QStringLiteral("Mark") + number);
    row.mark->setGeometry(kMarkLeft, tickBox.top() + (tickBox.height() - kMarkSize) / 2, kMarkSize, kMarkSize);

    // The box shows the catalogue's tick; mouse releases go to the catalogue,
    // which decides (single-base mode picks instead of toggling).
    row.check = new QCheckBox(area);
    row.check->setObjectName(QStringLiteral("Check") + number);
    row.check->setGeometry(tickBox);
    row.check->setFocusPolicy(Qt::NoFocus);
    row.check->installEventFilter(this);

    // A name from a site file is the user's text: never rich text.
    row.name = new QLabel(area);
    row.name->setTextFormat(Qt::PlainText);
    row.name->setText(info.name);
    row.name->setObjectName(QStringLiteral("LabelBase") + number);
    row.name->setGeometry(twipsRect(kNameLeft, rowTop, kNameWidth, kRowHeight));
    row.name->installEventFilter(this);

    if (!info.file.isEmpty()) {
        const QRect nameBox = row.name->geometry();
        const int after = nameBox.left() + row.name->fontMetrics().horizontalAdvance(info.name) + 4;
        row.file = new QLabel(area);
        row.file->setObjectName(QStringLiteral("File") + number);
        row.file->setPixmap(m_filePicture);
        row.file->setGeometry(QRect(QPoint(std::min(after, nameBox.right() - kFileMarkSize.width()),
                                           nameBox.top() + (nameBox.height() - kFileMarkSize.height()) / 2),
                                    kFileMarkSize));
    }

    row.language = pictureLabel(area, languagePicture(info.language),
                                twipsRect(kLanguageLeft, rowTop, kPictureBox, kPictureBox));
    row.language->setObjectName(QStringLiteral("ImageFlag") + number);
    row.kind = pictureLabel(area, kindPicture(info.kind), twipsRect(kKindLeft, rowTop, kPictureBox, kPictureBox));
    row.kind->setObjectName(QStringLiteral("ImageType") + number);

    row.site = new QLabel(area);
    row.site->setObjectName(QStringLiteral("LabelSite") + number);
    row.site->setGeometry(twipsRect(kSiteLeft, rowTop, kSiteWidth, kRowHeight));
    row.site->setCursor(Qt::PointingHandCursor);
    styleSiteLink(base, false);

    row.siteLink = new OverLink(row.site);
    connect(row.siteLink, &OverLink::MouseOver, this, [this, base] { styleSiteLink(base, true); });
    connect(row.siteLink, &OverLink::MouseOut, this, [this, base] { styleSiteLink(base, false); });
    connect(row.siteLink, &OverLink::Click, this, [this, base] { openHomePage(base); });
}

void SelectionWindow::buildGroupLink(int n)
{
    auto *label = new QLabel(this);
    label->setObjectName(QStringLiteral("LabelTout") + QString::number(n));
    label->move(px(kGroupLinkPlaces[n].x()), px(kGroupLinkPlaces[n].y()));
    label->setCursor(Qt::PointingHandCursor);
    m_groupLabels[n] = label;
    styleGroupLink(n, false);

    auto *link = new OverLink(label, this);
    m_groupLinks[n] = link;
    connect(link, &OverLink::MouseOver, this, [this, n] { styleGroupLink(n, true); });
    connect(link, &OverLink::MouseOut, this, [this, n] { styleGroupLink(n, false); });
    connect(link, &OverLink::Click, this, [this, n] { m_catalogue.applyGroup(n); });
}

void SelectionWindow::buildClosePicture()
{
    m_closePicture = new QLabel(this);
    m_closePicture->setObjectName(QStringLiteral("Image1"));
    const QPixmap picture(QStringLiteral(":/pictures/close_picture.png"));
    m_closePicture->setPixmap(picture);
    m_closePicture->setGeometry(QRect(QPoint(px(kClosePicturePlace.x()), px(kClosePicturePlace.y())),
                                      picture.isNull() ? QSize(33, 13) : picture.size()));
    m_closePicture->setCursor(Qt::PointingHandCursor);
    m_closePicture->installEventFilter(this);
}

void SelectionWindow::buildFileLinks()
{
    m_fileErrors = buildTextLink(QStringLiteral("FileErrors"), kFailedColour, &SelectionWindow::showFileErrors);
    m_reloadLink = buildTextLink(QStringLiteral("Reload"), kGroupLinkColour, &SelectionWindow::reload);
}

// A text that underlines under the pointer and acts on a click.
QLabel *SelectionWindow::buildTextLink(const QString &name, QColor colour, void (SelectionWindow::*onClick)())
{
    auto *label = new QLabel(this);
    label->setObjectName(name);
    label->setCursor(Qt::PointingHandCursor);
    auto *link = new OverLink(label, this);
    connect(link, &OverLink::MouseOver, this, [label, colour] { styleTextLink(label, colour, true); });
    connect(link, &OverLink::MouseOut, this, [label, colour] { styleTextLink(label, colour, false); });
    connect(link, &OverLink::Click, this, onClick);
    styleTextLink(label, colour, false);
    return label;
}

// The rows of site files push the lines, links and close picture down.
void SelectionWindow::placeBottom()
{
    const int shift = px(kRowStep) * extraRowsShown();
    m_rowScroll->setGeometry(0, 0, kWidth, px(kDarkLineTop) + shift);
    for (int n = 0; n < kGroupLinkCount; ++n)
        m_groupLabels[n]->move(px(kGroupLinkPlaces[n].x()), px(kGroupLinkPlaces[n].y()) + shift);
    const QPoint pressed = m_closePressed ? QPoint(1, 1) : QPoint();
    m_closePicture->move(QPoint(px(kClosePicturePlace.x()), px(kClosePicturePlace.y()) + shift) + pressed);
    m_fileErrors->move(px(kFileErrorsLeft), px(kFileLinksTop) + shift);
    m_reloadLink->move(px(kReloadRight) - m_reloadLink->width(), px(kFileLinksTop) + shift);
    update();
}

void SelectionWindow::retranslate(int langOffset)
{
    m_langOffset = langOffset;
    for (int n = 0; n < kGroupLinkCount; ++n) {
        setTranslatedText(m_groupLabels[n], kTextFirstGroupLink + n, langOffset);
        m_groupLabels[n]->adjustSize();
    }
    translateRows();
    setTranslatedToolTip(m_reloadLink, kTextReloadTip, langOffset);
    setTranslatedToolTip(m_fileErrors, kTextShowErrors, langOffset);
    showReloadLink();
    showFileErrorCount();
    showReports();
    placeBottom();
}

void SelectionWindow::translateRows()
{
    for (int base = 0; base < m_catalogue.baseCount(); ++base) {
        const SiteCatalogue::BaseInfo &info = m_catalogue.bases()[base];
        const Row &row = m_rows[size_t(base)];
        setTranslatedText(row.site, kTextSiteLink, m_langOffset);
        setTranslatedToolTip(row.language, languageText(info.language), m_langOffset);
        setTranslatedToolTip(row.kind, kindText(info.kind), m_langOffset);
        if (row.file)
            row.file->setToolTip(
                ToolTip::plainText(text(kTextDescribedBy, m_langOffset) + QDir::toNativeSeparators(info.file)));
    }
}

void SelectionWindow::showFileErrorCount()
{
    const int broken = m_catalogue.brokenFileCount();
    m_fileErrors->setVisible(broken > 0);
    m_fileErrors->setText(broken == 1 ? text(kTextOneBrokenFile, m_langOffset)
                                      : QString::number(broken) + text(kTextBrokenFiles, m_langOffset));
    m_fileErrors->adjustSize();
    if (m_errorList)
        m_errorList->findChild<QPlainTextEdit *>()->setPlainText(m_catalogue.fileErrors().join(u'\n'));
}

// A plain-text list: the errors quote the user's files.
void SelectionWindow::showFileErrors()
{
    if (!m_errorList) {
        m_errorList = new QDialog(m_mainWindow ? m_mainWindow.data() : this);
        m_errorList->setObjectName(QStringLiteral("FileErrorList"));
        m_errorList->setAttribute(Qt::WA_DeleteOnClose);
        auto *list = new QPlainTextEdit(m_errorList);
        list->setReadOnly(true);
        list->setLineWrapMode(QPlainTextEdit::NoWrap);
        auto *close = new QPushButton(text(kTextClose, m_langOffset), m_errorList);
        connect(close, &QPushButton::clicked, m_errorList, &QDialog::close);
        auto *layout = new QVBoxLayout(m_errorList);
        layout->addWidget(list);
        layout->addWidget(close, 0, Qt::AlignRight);
        m_errorList->resize(640, 240);
    }
    m_errorList->setWindowTitle(text(kTextErrorListTitle, m_langOffset));
    m_errorList->findChild<QPlainTextEdit *>()->setPlainText(m_catalogue.fileErrors().join(u'\n'));
    m_errorList->show();
    m_errorList->raise();
    m_errorList->activateWindow();
}

void SelectionWindow::setReloader(Reloader reloader)
{
    m_reload = std::move(reloader);
}

void SelectionWindow::reload()
{
    if (!m_reload || m_reloadWaits)
        return;
    if (m_reload())
        return;
    // Read once the search ends; the rows are built again then.
    m_reloadWaits = true;
    showReloadLink();
    placeBottom();
}

void SelectionWindow::showReloadLink()
{
    setTranslatedText(m_reloadLink, m_reloadWaits ? kTextReloadWaits : kTextReload, m_langOffset);
    m_reloadLink->adjustSize();
}

void SelectionWindow::setLinkOpener(LinkOpener opener)
{
    m_openLink = std::move(opener);
}

bool SelectionWindow::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        onActivated();
        break;
    case QEvent::WindowDeactivate:
        if (isVisible())
            m_hideAfterDeactivation.start();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool SelectionWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_closePicture)
        return closePictureEvent(event);
    for (int base = 0; base < int(m_rows.size()); ++base) {
        if (watched == m_rows[size_t(base)].check)
            return tickBoxEvent(base, event);
        if (watched == m_rows[size_t(base)].name)
            return nameEvent(base, event);
    }
    return QWidget::eventFilter(watched, event);
}

void SelectionWindow::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    const int shift = px(kRowStep) * extraRowsShown();
    painter.setPen(kDarkLine);
    painter.drawLine(0, px(kDarkLineTop) + shift, width() - 1, px(kDarkLineTop) + shift);
    painter.setPen(Qt::white);
    painter.drawLine(0, px(kLightLineTop) + shift, width() - 1, px(kLightLineTop) + shift);
}

void SelectionWindow::hideEvent(QHideEvent *event)
{
    // Hidden some other way meanwhile: a later showing must not be cut short.
    m_hideAfterDeactivation.stop();
    QWidget::hideEvent(event);
}

void SelectionWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        hide();
    else if (event->key() == Qt::Key_F5)
        reload();
    else
        QWidget::keyPressEvent(event);
}

void SelectionWindow::showTicks()
{
    for (int base = 0; base < int(m_rows.size()); ++base) {
        const QSignalBlocker blocker(m_rows[size_t(base)].check);
        m_rows[size_t(base)].check->setChecked(m_catalogue.isTicked(base));
    }
}

// A detail holds addresses and words from the network: never let it pass for rich text.
void SelectionWindow::showReports()
{
    for (int base = 0; base < int(m_rows.size()); ++base) {
        const std::optional<SiteReport> &report = m_catalogue.report(base);
        const Row &row = m_rows[size_t(base)];
        const QString tip = report ? Qt::convertFromPlainText(report->detail(m_langOffset), Qt::WhiteSpaceNormal)
                                   : QString();
        row.mark->setPixmap(m_markPictures[size_t(report ? report->mark() : SiteReport::Mark::None)]);
        row.mark->setToolTip(tip);
        row.name->setToolTip(tip);
    }
}

void SelectionWindow::refreshLinkTooltips()
{
    for (int base = 0; base < int(m_rows.size()); ++base)
        m_rows[size_t(base)].site->setToolTip(ToolTip::plainText(m_catalogue.homeAddress(m_store, base)));
}

void SelectionWindow::openHomePage(int base)
{
    const QString address = m_catalogue.homeAddress(m_store, base);
    if (address.isEmpty() || !m_openLink)
        return;
    m_openLink(QUrl::fromUserInput(address));
}

void SelectionWindow::styleSiteLink(int base, bool hovered)
{
    QLabel *label = m_rows[size_t(base)].site;
    setTextColour(label, hovered ? kSiteLinkHoverColour : kSiteLinkColour);
    QFont font = label->font();
    font.setUnderline(hovered);
    label->setFont(font);
}

void SelectionWindow::styleGroupLink(int n, bool hovered)
{
    QLabel *label = m_groupLabels[n];
    setTextColour(label, hovered ? kGroupLinkHoverColour : kGroupLinkColour);
    QFont font = label->font();
    font.setBold(hovered);
    label->setFont(font);
    label->adjustSize();
}

void SelectionWindow::styleTextLink(QLabel *label, const QColor &colour, bool hovered)
{
    setTextColour(label, hovered ? colour.darker(150) : colour);
    QFont font = label->font();
    font.setUnderline(hovered);
    label->setFont(font);
}

void SelectionWindow::onActivated()
{
    m_catalogue.onActivated(m_store);
    refreshLinkTooltips();
    placeBeside();
}

void SelectionWindow::placeBeside()
{
    if (m_mainWindow)
        move(m_mainWindow->pos() + kOffsetFromMainWindow);
    resize(kWidth, modeHeight());
}

int SelectionWindow::modeHeight() const
{
    return (m_catalogue.singleBase() ? kSingleBaseHeight : kSeveralBasesHeight) + px(kRowStep) * extraRowsShown();
}

int SelectionWindow::extraRowsShown() const
{
    return std::clamp(int(m_catalogue.rowOrder().size()) - SiteCatalogue::kBuiltInCount, 0, kMaxExtraRows);
}

bool SelectionWindow::tickBoxEvent(int base, QEvent *event)
{
    QCheckBox *box = m_rows[size_t(base)].check;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        box->setDown(true);
        return true;
    case QEvent::MouseMove:
        return true;
    case QEvent::MouseButtonRelease: {
        box->setDown(false);
        const auto *mouse = static_cast<QMouseEvent *>(event);
        // Only the left button toggles a box; a pick in single-base mode takes any button.
        const bool counts = mouse->button() == Qt::LeftButton || m_catalogue.singleBase();
        if (counts && box->rect().contains(mouse->position().toPoint()))
            m_catalogue.tickBoxReleased(base);
        return true;
    }
    default:
        return false;
    }
}

bool SelectionWindow::nameEvent(int base, QEvent *event)
{
    QLabel *name = m_rows[size_t(base)].name;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            m_pressedName = name;
        return false;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool clicked = m_pressedName == name && mouse->button() == Qt::LeftButton
                             && name->rect().contains(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton)
            m_pressedName = nullptr;
        if (clicked)
            m_catalogue.nameClicked(base);
        return false;
    }
    default:
        return false;
    }
}

bool SelectionWindow::closePictureEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (!m_closePressed) {
            m_closePressed = true;
            m_closePicture->move(m_closePicture->pos() + QPoint(1, 1));
        }
        return true;
    case QEvent::MouseButtonRelease: {
        if (!m_closePressed)
            return true;
        m_closePressed = false;
        m_closePicture->move(m_closePicture->pos() - QPoint(1, 1));
        // The picture moved back under the pointer: judge the release where it now lies.
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint at = mouse->position().toPoint() + QPoint(1, 1);
        if (mouse->button() == Qt::LeftButton && m_closePicture->rect().contains(at))
            hide();
        return true;
    }
    default:
        return false;
    }
}
