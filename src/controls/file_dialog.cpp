#include "controls/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// "*.jpg;*.jpeg" as the dialog writes it. "*.*" means every file, also those
// without a point in their name.
QString patternList(const QString &patterns)
{
    QStringList list;
    for (QString pattern : patterns.split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts)) {
        if (pattern == u"*.*")
            pattern = QStringLiteral("*");
        list.append(pattern);
    }
    return list.join(u' ');
}

// "Jpeg (*.jpg)" without its pattern part: the dialog reads the patterns from
// the parentheses, so the pair's own pattern has to be the only one there.
QString withoutPatternPart(const QString &description)
{
    const QString text = description.trimmed();
    const qsizetype open = text.lastIndexOf(u'(');
    if (!text.endsWith(u')') || open < 0)
        return text;
    const QString inside = text.mid(open);
    if (!inside.contains(u'*') && !inside.contains(u'?'))
        return text;
    return text.left(open).trimmed();
}

} // namespace

QStringList CFileDialog::nameFilters(const QString &Filter)
{
    // A missing final "|" changes nothing: an item counts up to the next bar or the end.
    const QStringList items = Filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        const QString patterns = patternList(items.at(i + 1));
        if (patterns.isEmpty())
            continue;
        const QString label = withoutPatternPart(items.at(i));
        filters.append(label.isEmpty() ? QStringLiteral("(%1)").arg(patterns)
                                       : QStringLiteral("%1 (%2)").arg(label, patterns));
    }
    return filters;
}

bool CFileDialog::Show(bool fOpen)
{
    QFileDialog dialog(m_parent, m_dialogTitle, m_initialDir);
    dialog.setAcceptMode(fOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(fOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    QString extension = m_defaultExt;
    while (extension.startsWith(u'.'))
        extension.remove(0, 1);
    if (!extension.isEmpty())
        dialog.setDefaultSuffix(extension);
    const QStringList filters = nameFilters(m_filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.at(qBound(0, m_filterIndex - 1, int(filters.size()) - 1)));
    }
    const QString proposed = m_fileName.isEmpty() ? m_fileTitle : m_fileName;
    if (!proposed.isEmpty())
        dialog.selectFile(proposed);

    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QString chosen = dialog.selectedFiles().value(0);
    if (chosen.isEmpty())
        return false;
    m_fileName = QDir::toNativeSeparators(chosen);
    m_fileTitle = QFileInfo(chosen).fileName();
    return true;
}
