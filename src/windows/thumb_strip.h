#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class OverButton;
class Program;
class QLabel;

// The strip of hits: draws the result list's slots at their geometry (twips
// of the main window, 15 per pixel) and sends presses to the retrieval.
class ThumbStrip : public QWidget
{
    Q_OBJECT

public:
    // A child of the main window; its slots are placed in window pixels.
    ThumbStrip(Program &program, QWidget *parent = nullptr);

    // Window pixels of a slot's parts, relative to this widget.
    QRect thumbRect(int slot) const;
    QRect buttonRect(int slot) const;

signals:
    // A slot's download button.
    void downloadClicked(int slot);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void addSlot(int slot);
    void clear();
    void relayout();
    void updateSlot(int slot);
    int slotAt(QPoint point) const;
    int originX() const;

    Program &m_program;
    QList<QPointer<OverButton>> m_buttons;
    QList<QPointer<QLabel>> m_badges;
    QPixmap m_buttonSkin;
    QPixmap m_badge;
    QPixmap m_downloadIcon;
};
