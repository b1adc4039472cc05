#pragma once

#include <QColor>
#include <QLabel>
#include <QPoint>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <array>
#include <functional>

class SettingsStore;

// The about window: who made the program, links to the maker's pages, the version and a
// donation button. Shown without being modal; a click on its background or on
// one of its plain texts closes it, and it deletes itself once closed.
class AboutWindow : public QWidget
{
    Q_OBJECT

public:
    using PageOpener = std::function<void(const QUrl &)>;

    static constexpr QColor kLinkColour{120, 145, 216};
    static constexpr QColor kLinkHoverColour{255, 255, 0};

    // The links and the donation page come from the maker's address in `store`.
    AboutWindow(const SettingsStore &store, int langOffset, QWidget *parent = nullptr);

    // Opens web pages; the desktop's browser unless replaced (tests).
    void setPageOpener(PageOpener opener);

    // Link 0 is the maker's page, 1 the forum, 2 the program's site.
    QLabel *link(int index) const { return m_links.at(index).label; }
    QUrl linkAddress(int index) const { return m_links.at(index).address; }
    QLabel *donationButton() const { return m_donation; }
    QString version() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Link
    {
        QLabel *label = nullptr;
        QUrl address;
    };

    QLabel *addText(const QString &name, const QString &text, QPoint twips);
    void addLink(int index, const QUrl &address, const QString &caption, QPoint twips);
    void styleLink(int index, bool hovered);
    void openLink(int index);
    void open(const QUrl &address);

    PageOpener m_openPage;
    QPixmap m_background;
    std::array<Link, 3> m_links;
    QLabel *m_version = nullptr;
    QLabel *m_donation = nullptr;
    QUrl m_donationPage;
};
