#pragma once

#include <QPixmap>
#include <QWidget>

// A 32 x 32 title-bar icon drawn from a strip of three frames (normal, hover,
// pressed, stacked). Its action runs on a release over it.
class TitleIcon : public QWidget
{
    Q_OBJECT

public:
    explicit TitleIcon(const QPixmap &strip, QWidget *parent = nullptr);

    enum Frame { Normal = 0, Hover = 1, Pressed = 2 };
    Frame frame() const { return m_frame; }

signals:
    void activated();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void show(Frame frame);

    QPixmap m_strip;
    Frame m_frame = Normal;
};
