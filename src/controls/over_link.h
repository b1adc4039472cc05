#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// Watches one label and tells its host when the pointer comes onto it, leaves
// it, or clicks it, so the host can style the label as a hyperlink.
class OverLink : public QObject
{
    Q_OBJECT

public:
    // Without a parent the tracker lives as long as the label.
    explicit OverLink(QWidget *label, QObject *parent = nullptr);

    QWidget *label() const { return m_label; }
    bool hovering() const { return m_hovering; }

signals:
    void MouseOver();
    void MouseOut();
    // A left-button release over the label.
    void Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void enter();
    void leave();

    QPointer<QWidget> m_label;
    bool m_hovering = false;
};
