#pragma once

#include <QMargins>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>

class CFileDialog;
class Program;
class QLabel;
class QScrollBar;

// Affiche: one fetched picture at its own size, in a window placed over the
// main window and kept inside the screen's work area, with scroll bars when
// the picture is larger. A click on the picture saves it elsewhere. Several
// can be open at once; each deletes itself when closed.
class PosterViewer : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kTwipsPerPixel = 15;

    // What the placing reads from the screen and the main window, in twips.
    struct Surroundings
    {
        QRect workArea;
        QPoint mainWindow;  // the main window's left and top
        QMargins frame;     // the viewer's own window frame
        int barThickness = 255;
    };

    struct ScrollRange
    {
        int maximum = 0;
        int smallStep = 0;
        int largeStep = 0;
    };

    // The viewer's outer frame and its bars, in twips. Ranges are plain ints:
    // a tall poster scrolls well past 32767 twips.
    struct Placement
    {
        QRect frame;
        bool horizontalBar = false;
        bool verticalBar = false;
        ScrollRange horizontal;
        ScrollRange vertical;
    };

    // Places the viewer of a picture of `picture` twips (`loaded` false: the
    // picture could not be read and `picture` is the empty box) and moves the
    // cascade offset shared by the viewers along.
    static Placement place(const Surroundings &around, QSize picture, bool loaded, int &cascade);

    // Runs the dialog and says whether the user chose a file.
    using SaveDialog = std::function<bool(CFileDialog &dialog)>;

    // Shows `path`, the picture of the hit in `slot`, over `mainWindow` (its
    // Qt parent). `cascade` is the offset that all viewers of the run share.
    PosterViewer(Program &program, const QString &path, int slot, int &cascade, QWidget *mainWindow = nullptr);

    bool pictureLoaded() const { return m_loaded; }
    QLabel *pictureBox() const { return m_picture; }
    QLabel *messageLabel() const { return m_message; }
    QScrollBar *horizontalBar() const { return m_horizontal; }
    QScrollBar *verticalBar() const { return m_vertical; }

    // Replaces the real save dialog (tests).
    void setSaveDialog(SaveDialog dialog);
    // "Save picture as...": true when the picture was copied; the hit is then
    // marked as downloaded, unless a new search has replaced it.
    bool save();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildPicture(const QImage &picture);
    void applyPlacement(const Placement &placement, const QMargins &frame);
    void scrollPicture();
    Surroundings surroundings() const;

    Program &m_program;
    QString m_path;
    QString m_name;
    int m_slot;
    quint64 m_generation; // of the list that m_slot belongs to
    bool m_loaded = false;
    QPointer<QWidget> m_mainWindow;
    SaveDialog m_saveDialog;

    QWidget *m_view = nullptr;
    QLabel *m_picture = nullptr;   // the poster
    QLabel *m_message = nullptr;   // shown instead when the picture cannot be read
    QScrollBar *m_horizontal = nullptr;
    QScrollBar *m_vertical = nullptr;
    QWidget *m_corner = nullptr;   // fills the square between the two scroll bars
};
