#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class Program;

// The maker's banner: banner 1 at start-up, then every eighth tick of a
// 2-second timer, while no search runs, a random one of banners 2 to 27.
// Picture and link arrive apart and each replaces the shown one on its own; a
// failed fetch keeps what was there. The window draws the picture, shows the
// link as the tooltip and opens it on a click.
class Banner : public QObject
{
    Q_OBJECT

public:
    // Uniform in [0, 1).
    using RandomSource = std::function<double()>;

    static constexpr int kTickMs = 2000;
    static constexpr int kTicksPerBanner = 8;
    static constexpr int kFirstRandomBanner = 2;
    static constexpr int kLastBanner = 27;

    explicit Banner(Program &program, QObject *parent = nullptr);

    void setRandomSource(RandomSource random);

    // The end of start-up: banner 1, and the rotation begins.
    void start();
    // The rotation runs only in the window's large form; the tick count is
    // kept while it is stopped.
    void setRunning(bool running);
    bool running() const { return m_timer.isActive(); }

    // Starts the fetches of banner `n` and returns at once.
    void ChargeBandeau(int n);
    // One tick of the rotation (the timer calls it; tests too).
    void tick();

    // The paths of banner `n` on the maker's site.
    static QString picturePath(int n);
    static QString linkPath(int n);

    // The last banner asked for, 0 before the first.
    int number() const { return m_number; }
    int tickCount() const { return m_ticks; }
    QImage picture() const { return m_picture; }
    // What a click opens; empty until a link has arrived.
    QString link() const { return m_link; }

signals:
    void pictureChanged(const QImage &picture);
    void linkChanged(const QString &link);

private:
    void onPicture(const QImage &picture);
    void onLinkText(const QString &text);

    Program &m_program;
    QTimer m_timer;
    RandomSource m_random;
    int m_ticks = 0;
    int m_number = 0;
    QImage m_picture;
    QString m_link;
};
