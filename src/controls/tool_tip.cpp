#include "controls/tool_tip.h"

#include <QTextDocument>
#include <QVariant>

namespace {

// Marks the widget with the serial of the ToolTip that set its text, so that
// releasing an older one after its replacement was created keeps the new text.
constexpr char kOwnerProperty[] = "pellicamToolTipOwner";

quint64 nextSerial()
{
    static quint64 serial = 0;
    return ++serial;
}

} // namespace

ToolTip::~ToolTip()
{
    if (m_serial == 0 || !m_parent)
        return;
    if (m_parent->property(kOwnerProperty).toULongLong() != m_serial)
        return;
    m_parent->setToolTip(QString());
    m_parent->setProperty(kOwnerProperty, QVariant());
}

void ToolTip::Create()
{
    if (!m_parent || m_serial != 0)
        return;
    m_serial = nextSerial();
    m_parent->setToolTip(m_text);
    m_parent->setProperty(kOwnerProperty, QVariant::fromValue(m_serial));
}

QString ToolTip::plainText(const QString &text)
{
    // Escaped, and marked up so that it is always read as rich text.
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}
