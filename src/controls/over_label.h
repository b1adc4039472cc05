#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <array>

// A tab header of the options window: a small icon and a caption that frame
// themselves while the pointer is over them, with a second, orange frame for
// the selected tab. It reports a click on a release over its hover area.
class OverLabel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kIcons = 8;
    static constexpr QColor kSelectionColour{255, 158, 22};
    static constexpr QColor kHoverColour{186, 195, 215};

    // `icons` is a strip of eight 16 x 16 icons side by side.
    explicit OverLabel(const QPixmap &icons, QWidget *parent = nullptr);

    // Shows icon `index` (0 to 7) of the strip.
    void ACharger(int index);
    void setCaption(const QString &caption);
    QString caption() const { return m_caption; }
    void Selection(bool selected);

    bool selected() const { return m_selected; }
    bool hovering() const { return m_hovering; }
    int icon() const { return m_icon; }

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setHovering(bool hovering);

    std::array<QPixmap, kIcons> m_icons;
    int m_icon = -1;
    QString m_caption;
    bool m_selected = false;
    bool m_hovering = false;
};
