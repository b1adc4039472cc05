#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <array>

// The program's push button, drawn from a skin that the host owns: three
// pictures of the button stacked vertically (normal, hovered, pressed), each as
// tall as the button. An optional 16 by 16 icon and a caption go over it.
class OverButton : public QWidget
{
    Q_OBJECT

public:
    explicit OverButton(QWidget *parent = nullptr);

    // The picture the button draws its background from. A null skin draws none.
    void setSkin(const QPixmap &skin);
    QPixmap skin() const { return m_skin; }
    // Back to the normal picture.
    void Refresh();

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
    QPixmap icon() const { return m_icon; }
    void setIcon(const QPixmap &icon);
    // Horizontal part only: left (default), right or centre.
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);

    // The button's own Enabled: while false it ignores the mouse and keeps its
    // drawing. QWidget::setEnabled(false) greys it out instead.
    bool enabledFlag() const { return m_enabledFlag; }
    void setEnabledFlag(bool enabled);

    // The two icons FlipFlap chooses from.
    void setFlipFlapIcons(const QPixmap &origin, const QPixmap &other);
    // Origine true shows the first icon, false the second.
    void FlipFlap(bool Origine);

    QSize sizeHint() const override;

signals:
    // The click: a release inside the button. Button codes 1 left, 2 right,
    // 4 middle; shift codes 1 Shift, 2 Ctrl, 4 Alt; position in twips.
    void MouseUp(int button, int shift, double x, double y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum class Look { Normal, Hovered, Pressed };

    void draw(Look look);
    void takeHover();
    void dropHover();

    QPixmap m_skin;
    QPixmap m_icon;
    std::array<QPixmap, 2> m_flipFlapIcons;
    QString m_caption = QStringLiteral("...");
    Qt::Alignment m_alignment = Qt::AlignLeft;
    bool m_enabledFlag = true;
    // Stands for holding the mouse capture: set on the first move over the button.
    bool m_hovering = false;
    Look m_look = Look::Normal;
};
