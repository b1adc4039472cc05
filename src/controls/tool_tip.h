#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

// Gives one widget a tooltip, and takes it away again when released (unless a
// newer ToolTip has taken the widget over meanwhile). Set the widget and the
// text, then call Create once.
class ToolTip
{
public:
    ToolTip() = default;
    ~ToolTip();
    ToolTip(const ToolTip &) = delete;
    ToolTip &operator=(const ToolTip &) = delete;

    // The widget whose tooltip this is.
    QWidget *parentWidget() const { return m_parent; }
    void setParentWidget(QWidget *widget) { m_parent = widget; }

    // Changing the text after Create has no effect on the shown tooltip.
    QString text() const { return m_text; }
    void setText(const QString &text) { m_text = text; }

    void Create();

    // A tooltip that shows `text` as these very characters: Qt takes a text
    // that looks like markup as rich text (tags, pictures by address).
    static QString plainText(const QString &text);

private:
    QPointer<QWidget> m_parent;
    QString m_text;
    // Which ToolTip last set the widget's tooltip; 0 until Create ran.
    quint64 m_serial = 0;
};
