#include "windows/about_window.h"

#include "controls/over_link.h"
#include "settings/site_addresses.h"
#include "settings/string_table.h"
#include "update/version.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips)
{
    return twips / kTwipsPerPixel;
}

constexpr QSize kSize(px(6000), px(3480));
const QString kMakerSetting = QStringLiteral("Hote-Editeur");
const QString kDonationPath = QStringLiteral("/don.htm");
const QString kForumPath = QStringLiteral("/forum/");

// The plain texts end at one right edge, the links and values start at another.
constexpr int kTextLeft = 60;
constexpr int kTextRight = 1980;
constexpr int kValueLeft = 2100;
constexpr int kValueWidth = 2400;
constexpr int kRowHeight = 240;
constexpr int kEditorTop = 2040;
constexpr int kWebSiteTop = 2280;
constexpr int kForumTop = 2520;
constexpr int kVersionTop = 2760;
constexpr int kNoticeTop = 3000;
constexpr QPoint kDonationPlace(px(4560), px(2145));
// Pressed, the button sinks one pixel right and down.
constexpr QPoint kDonationPressed = kDonationPlace + QPoint(1, 1);
constexpr QPoint kNamePlace(px(1560), px(540));

constexpr QColor kTextColour(214, 222, 242);
constexpr QColor kNameColour(255, 255, 255);
constexpr QColor kBackground(28, 38, 78);

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// Link captions are host names without their "www.".
QString caption(const QString &address, const QString &path = QString())
{
    QString host = SiteAddresses::hostName(address);
    if (host.startsWith(QStringLiteral("www."), Qt::CaseInsensitive))
        host.remove(0, 4);
    return host + path;
}

} // namespace

AboutWindow::AboutWindow(const SettingsStore &store, int langOffset, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_openPage([](const QUrl &address) { QDesktopServices::openUrl(address); })
    , m_background(QStringLiteral(":/pictures/about_background.png"))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("APropos"));
    setWindowTitle(QString(kProgramName));
    setFixedSize(kSize);
    QFont small = font();
    small.setPointSizeF(8.5);
    setFont(small);
    if (parent)
        move(parent->geometry().center() - rect().center());

    const auto text = [langOffset](int id) { return StringTable::text(id, langOffset).value_or(QString()); };

    QLabel *name = addText(QStringLiteral("Name"), QString(kProgramName), QPoint());
    QFont large = font();
    large.setPointSize(22);
    large.setBold(true);
    name->setFont(large);
    name->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    name->setGeometry(QRect(kNamePlace, QSize(px(3600), px(600))));
    setTextColour(name, kNameColour);

    addText(QStringLiteral("Label2_0"), text(400), QPoint(kTextLeft, kEditorTop));
    addText(QStringLiteral("Label2_1"), text(401), QPoint(kTextLeft, kWebSiteTop));
    addText(QStringLiteral("Label2_2"), text(402), QPoint(kTextLeft, kForumTop));
    addText(QStringLiteral("Label2_3"), text(403), QPoint(kTextLeft, kVersionTop));
    addText(QStringLiteral("Label2_4"), QStringLiteral("Copyright"), QPoint(kTextLeft, kNoticeTop));
    m_version = addText(QStringLiteral("Label2_5"), QString(kVersion), QPoint(kValueLeft, kVersionTop));
    addText(QStringLiteral("Label2_6"), QStringLiteral("© 2006 ") + kProgramName, QPoint(kValueLeft, kNoticeTop));

    // The program's pages and its forum live on the maker's site.
    const QString maker = SiteAddresses::address(store, kMakerSetting);
    addLink(0, QUrl(maker), caption(maker), QPoint(kValueLeft, kEditorTop));
    addLink(1, QUrl(maker + kForumPath), caption(maker, kForumPath.chopped(1)), QPoint(kValueLeft, kForumTop));
    addLink(2, QUrl(maker), caption(maker), QPoint(kValueLeft, kWebSiteTop));

    m_donationPage = QUrl(maker + kDonationPath);
    m_donation = new QLabel(this);
    m_donation->setObjectName(QStringLiteral("Picture1"));
    const QPixmap button(QStringLiteral(":/pictures/donate_button.png"));
    m_donation->setPixmap(button);
    m_donation->setGeometry(QRect(kDonationPlace, button.isNull() ? QSize(72, 44) : button.size()));
    m_donation->setCursor(Qt::PointingHandCursor);
    m_donation->setToolTip(text(404));
    m_donation->installEventFilter(this);
}

QLabel *AboutWindow::addText(const QString &name, const QString &text, QPoint twips)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    const bool plainText = twips.x() < kValueLeft;
    const int left = plainText ? kTextLeft : kValueLeft;
    const int width = plainText ? kTextRight - kTextLeft : kValueWidth;
    label->setGeometry(px(left), px(twips.y()), px(width), px(kRowHeight));
    label->setAlignment((plainText ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    setTextColour(label, kTextColour);
    // A click on a text is a click on the window: it closes it.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

void AboutWindow::addLink(int index, const QUrl &address, const QString &caption, QPoint twips)
{
    auto *label = new QLabel(caption, this);
    label->setObjectName(QStringLiteral("Label1_") + QString::number(index));
    label->setGeometry(px(twips.x()), px(twips.y()), px(kValueWidth), px(kRowHeight));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setCursor(Qt::PointingHandCursor);
    m_links[index] = {label, address};
    styleLink(index, false);

    auto *tracker = new OverLink(label, this);
    connect(tracker, &OverLink::MouseOver, this, [this, index] { styleLink(index, true); });
    connect(tracker, &OverLink::MouseOut, this, [this, index] { styleLink(index, false); });
    connect(tracker, &OverLink::Click, this, [this, index] { openLink(index); });
}

void AboutWindow::setPageOpener(PageOpener opener)
{
    m_openPage = std::move(opener);
}

QString AboutWindow::version() const
{
    return m_version->text();
}

void AboutWindow::styleLink(int index, bool hovered)
{
    setTextColour(m_links[index].label, hovered ? kLinkHoverColour : kLinkColour);
}

void AboutWindow::openLink(int index)
{
    open(m_links[index].address);
    close();
}

void AboutWindow::open(const QUrl &address)
{
    if (m_openPage && address.isValid())
        m_openPage(address);
}

void AboutWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_background.isNull())
        painter.fillRect(rect(), kBackground);
    else
        painter.drawPixmap(0, 0, m_background);
}

void AboutWindow::mouseReleaseEvent(QMouseEvent *event)
{
    // The links' own releases come here too once they have been handled.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        close();
}

void AboutWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

bool AboutWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_donation)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        m_donation->move(kDonationPressed);
        return true;
    case QEvent::MouseButtonRelease: {
        m_donation->move(kDonationPlace);
        const auto *mouse = static_cast<QMouseEvent *>(event);
        // The window stays open: only the links close it.
        if (mouse->button() == Qt::LeftButton && m_donation->rect().contains(mouse->position().toPoint()))
            open(m_donationPage);
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}
