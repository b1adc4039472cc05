#include "windows/poster_viewer.h"

#include "controls/file_dialog.h"
#include "core/program.h"
#include "output/retrieval.h"
#include "output/file_copy.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kTwips = PosterViewer::kTwipsPerPixel;

// The main window is this wide: a new viewer is centred on it.
constexpr int kMainWindowWidth = 12000;
// The empty picture box, which an unreadable picture leaves as it is.
constexpr QSize kEmptyPicture(3735, 1995);
// The error text inside the empty box.
constexpr QRect kMessageBox(0, 420, 3735, 1035);
// An unavailable picture opens this far below the main window's top.
constexpr int kUnavailableDrop = 2600;
// Each viewer without a vertical bar pushes the next one along; past the
// limit the cascade starts again on the far side.
constexpr int kCascadeStep = 120;
constexpr int kCascadeLimit = 900;

constexpr QColor kPictureBackground(213, 222, 242);
constexpr QColor kMessageColour(60, 96, 130);

const QString kFilter = QStringLiteral("Jpeg (*.jpg)|*.jpg|");
const QString kExtension = QStringLiteral("jpg");

constexpr int px(int twips)
{
    return twips / kTwips;
}

void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// The save dialog has already asked before replacing a file.
bool copyPicture(const QString &source, const QString &destination)
{
    const QString sourcePath = QFileInfo(source).canonicalFilePath();
    if (!sourcePath.isEmpty() && sourcePath == QFileInfo(destination).canonicalFilePath())
        return true;
    return copyReplacing(source, destination);
}

} // namespace

PosterViewer::Placement PosterViewer::place(const Surroundings &around, QSize picture, bool loaded, int &cascade)
{
    const QRect &work = around.workArea;
    const int frameWidth = around.frame.left() + around.frame.right();
    const int frameHeight = around.frame.top() + around.frame.bottom();
    const int bar = around.barThickness;
    const int mainTop = around.mainWindow.y();

    int top = picture.height() >= work.height() - mainTop
                  ? work.top() + (work.height() - picture.height()) / 2
                  // The picture starts level with the main window's top.
                  : mainTop - around.frame.top();
    top = std::max(top, work.top());
    if (!loaded) {
        top = mainTop + kUnavailableDrop;
        cascade = 0;
    }
    int left = std::max(around.mainWindow.x() + (kMainWindowWidth - picture.width()) / 2 + cascade, work.left());

    Placement placement;
    bool across = picture.width() + frameWidth > work.width();
    bool down = picture.height() + frameHeight > work.height();
    // A bar takes room beside the picture: the window grows by it while the
    // work area allows, otherwise the other bar is needed too.
    if (across && !down && picture.height() + frameHeight + bar > work.height())
        down = true;
    if (down && !across && picture.width() + frameWidth + bar > work.width())
        across = true;
    const int width = across ? work.width() : picture.width() + frameWidth + (down ? bar : 0);
    const int height = down ? work.height() : picture.height() + frameHeight + (across ? bar : 0);
    if (across)
        left = work.left();
    if (down)
        top = work.top();
    // Kept inside the work area on the far sides too.
    left = std::max(work.left(), std::min(left, work.left() + work.width() - width));
    top = std::max(work.top(), std::min(top, work.top() + work.height() - height));
    placement.frame = QRect(left, top, width, height);

    placement.horizontalBar = across;
    placement.verticalBar = down;
    const int viewWidth = width - frameWidth - (down ? bar : 0);
    const int viewHeight = height - frameHeight - (across ? bar : 0);
    if (across)
        placement.horizontal = {std::max(0, picture.width() - viewWidth), picture.width() / 100, picture.width() / 10};
    if (down)
        placement.vertical = {std::max(0, picture.height() - viewHeight), picture.height() / 100, picture.height() / 10};

    // A viewer as tall as the screen leaves the next one where it is.
    if (!down) {
        cascade += kCascadeStep;
        if (cascade > kCascadeLimit)
            cascade = -kCascadeLimit;
    }
    return placement;
}

PosterViewer::PosterViewer(Program &program, const QString &path, int slot, int &cascade, QWidget *mainWindow)
    : QWidget(mainWindow, Qt::Window)
    , m_program(program)
    , m_path(path)
    , m_name(QFileInfo(path).completeBaseName())
    , m_slot(slot)
    , m_generation(program.results().generation())
    , m_mainWindow(mainWindow)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(QStringLiteral(":/pictures/pellicam.png")));
    setFocusPolicy(Qt::StrongFocus);
    setBackground(this, kPictureBackground);

    const QImage picture = QImageReader(path).read();
    m_loaded = !picture.isNull();
    buildPicture(picture);

    // The frame is known once the window exists; where the platform cannot
    // tell before showing it, the picture is measured without it.
    create();
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    Surroundings around = surroundings();
    around.frame = frame * kTwips;
    const QSize pictureTwips = m_picture->size() * kTwips;
    applyPlacement(place(around, pictureTwips, m_loaded, cascade), frame);

    setWindowTitle(m_loaded ? QStringLiteral("%1 - %2x%3").arg(m_name).arg(picture.width()).arg(picture.height())
                            : m_program.text(103));
}

PosterViewer::Surroundings PosterViewer::surroundings() const
{
    Surroundings around;
    QScreen *screen = m_mainWindow ? m_mainWindow->screen() : QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    around.workArea = QRect(work.topLeft() * kTwips, work.size() * kTwips);
    around.mainWindow = (m_mainWindow ? m_mainWindow->pos() : work.topLeft()) * kTwips;
    return around;
}

void PosterViewer::buildPicture(const QImage &picture)
{
    // Clips the picture to what the bars leave of the window.
    m_view = new QWidget(this);
    m_picture = new QLabel(m_view);
    m_picture->setObjectName(QStringLiteral("Picture1"));
    setBackground(m_picture, kPictureBackground);
    if (m_loaded) {
        m_picture->setPixmap(QPixmap::fromImage(picture));
        m_picture->resize(picture.size());
        m_picture->setCursor(Qt::PointingHandCursor);
        m_picture->installEventFilter(this);
    } else {
        // Nothing to save: the box ignores clicks.
        m_picture->resize(px(kEmptyPicture.width()), px(kEmptyPicture.height()));
        m_message = new QLabel(m_program.text(101) + QStringLiteral("\n") + m_program.text(102), m_picture);
        m_message->setObjectName(QStringLiteral("Label1"));
        m_message->setGeometry(px(kMessageBox.x()), px(kMessageBox.y()), px(kMessageBox.width()),
                               px(kMessageBox.height()));
        m_message->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        m_message->setWordWrap(true);
        QFont font(QStringLiteral("Arial"), 12);
        font.setBold(true);
        m_message->setFont(font);
        QPalette palette = m_message->palette();
        palette.setColor(QPalette::WindowText, kMessageColour);
        m_message->setPalette(palette);
    }

    m_horizontal = new QScrollBar(Qt::Horizontal, this);
    m_vertical = new QScrollBar(Qt::Vertical, this);
    m_corner = new QWidget(this);
    m_corner->setObjectName(QStringLiteral("Picture2"));
    for (QScrollBar *bar : {m_horizontal, m_vertical}) {
        bar->setRange(0, 0);
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this, &PosterViewer::scrollPicture);
    }
    m_corner->hide();
}

void PosterViewer::applyPlacement(const Placement &placement, const QMargins &frame)
{
    const int bar = px(Surroundings().barThickness);
    const QSize inner(px(placement.frame.width()) - frame.left() - frame.right(),
                      px(placement.frame.height()) - frame.top() - frame.bottom());
    move(px(placement.frame.left()), px(placement.frame.top()));
    setFixedSize(inner);

    const int viewWidth = inner.width() - (placement.verticalBar ? bar : 0);
    const int viewHeight = inner.height() - (placement.horizontalBar ? bar : 0);
    m_view->setGeometry(0, 0, viewWidth, viewHeight);

    const auto setUp = [](QScrollBar *scrollBar, const ScrollRange &range, const QRect &geometry) {
        scrollBar->setRange(0, range.maximum);
        scrollBar->setSingleStep(std::max(1, range.smallStep));
        scrollBar->setPageStep(std::max(1, range.largeStep));
        scrollBar->setGeometry(geometry);
        scrollBar->show();
    };
    if (placement.horizontalBar)
        setUp(m_horizontal, placement.horizontal, QRect(0, viewHeight, viewWidth, bar));
    if (placement.verticalBar)
        setUp(m_vertical, placement.vertical, QRect(viewWidth, 0, bar, viewHeight));
    if (placement.horizontalBar && placement.verticalBar) {
        m_corner->setGeometry(viewWidth, viewHeight, bar, bar);
        m_corner->show();
    }
}

void PosterViewer::scrollPicture()
{
    m_picture->move(-px(m_horizontal->value()), -px(m_vertical->value()));
}

void PosterViewer::setSaveDialog(SaveDialog dialog)
{
    m_saveDialog = std::move(dialog);
}

bool PosterViewer::save()
{
    if (!m_loaded)
        return false;
    CFileDialog dialog;
    dialog.setParentWidget(this);
    dialog.setDialogTitle(m_program.text(100));
    dialog.setFilter(kFilter);
    // Without it a name typed without ".jpg" would be saved as it is.
    dialog.setDefaultExt(kExtension);
    dialog.setInitialDir(m_program.retrieval().saveFolder());
    dialog.setFileName(m_name);
    const bool chosen = m_saveDialog ? m_saveDialog(dialog) : dialog.Show(false);
    if (!chosen || dialog.FileName().isEmpty())
        return false;
    if (!copyPicture(m_path, QDir::fromNativeSeparators(dialog.FileName())))
        return false;
    m_program.results().setDownloaded(m_slot, m_generation);
    return true;
}

bool PosterViewer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_picture && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint at = mouse->position().toPoint();
        // Released over a scroll bar, the picture under it was not clicked.
        if (mouse->button() == Qt::LeftButton && m_picture->rect().contains(at)
            && m_view->rect().contains(m_picture->mapTo(m_view, at)))
            save();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void PosterViewer::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Save)) {
        save();
        return;
    }
    // Home and End go to the ends of the picture's long way.
    QScrollBar *lengthwise = m_vertical->maximum() > 0 ? m_vertical : m_horizontal;
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Left:
        m_horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return;
    case Qt::Key_Right:
        m_horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return;
    case Qt::Key_Up:
        m_vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
        return;
    case Qt::Key_Down:
        m_vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        return;
    case Qt::Key_PageUp:
        lengthwise->triggerAction(QAbstractSlider::SliderPageStepSub);
        return;
    case Qt::Key_PageDown:
        lengthwise->triggerAction(QAbstractSlider::SliderPageStepAdd);
        return;
    case Qt::Key_Home:
        lengthwise->triggerAction(QAbstractSlider::SliderToMinimum);
        return;
    case Qt::Key_End:
        lengthwise->triggerAction(QAbstractSlider::SliderToMaximum);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void PosterViewer::wheelEvent(QWheelEvent *event)
{
    const QPoint delta = event->angleDelta();
    const bool sideways = std::abs(delta.x()) > std::abs(delta.y()) || event->modifiers() & Qt::ShiftModifier
                          || m_vertical->maximum() == 0;
    QScrollBar *bar = sideways ? m_horizontal : m_vertical;
    if (bar->maximum() > 0)
        QCoreApplication::sendEvent(bar, event);
}

void PosterViewer::closeEvent(QCloseEvent *event)
{
    if (m_mainWindow) {
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
    }
    hide();
    event->accept();
}
