#include "core/search_history.h"

#include "text/text_helpers.h"
#include "core/options.h"
#include "settings/settings_store.h"

namespace {

QString titleSetting(int n)
{
    return QStringLiteral("Historique-") + QString::number(n);
}

QString withoutTrailingBlanks(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == u' ')
        --end;
    text.truncate(end);
    return text;
}

} // namespace

SearchHistory::SearchHistory(SettingsStore &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
}

void SearchHistory::load()
{
    migrateLegacyHistory(m_store);
    const int length = text::intValue(m_store.LitValeur(QStringLiteral("Historique-Max")), 0);
    m_histoMax = length >= 0 && length <= kLargestLength ? length : 0;
    m_histo = QStringList{QString()};
    for (int n = 1; n <= m_histoMax; ++n)
        m_histo.append(m_store.LitValeur(titleSetting(n)));
    emit entriesChanged();
}

QStringList SearchHistory::entries() const
{
    QStringList list;
    for (int n = 1; n <= m_histoMax; ++n)
        if (!m_histo.at(n).isEmpty())
            list.append(m_histo.at(n));
    return list;
}

QString SearchHistory::AjouteHistorique(const QString &titleBoxText)
{
    if (m_histoMax == 0)
        return titleBoxText;
    const QString title = titleBoxText.trimmed();
    for (const QString &entry : entries())
        if (entry.compare(title, Qt::CaseInsensitive) == 0)
            return titleBoxText;

    // An empty place is moved without being written, so its stored value stays
    // as it was: only titles are ever written.
    QList<std::pair<QString, QString>> writes;
    for (int n = m_histoMax; n >= 1; --n) {
        m_histo[n] = m_histo.at(n - 1);
        if (!m_histo.at(n).isEmpty())
            writes.append({titleSetting(n), m_histo.at(n)});
    }
    m_histo[1] = title;
    writes.append({titleSetting(1), title});
    m_store.writeValues(writes);
    emit entriesChanged();
    return title;
}

void SearchHistory::resize(int newMax, const QString &optionsText)
{
    newMax = qBound(0, newMax, kLargestLength);
    if (newMax == m_histoMax)
        return;
    for (int n = m_histoMax; n > newMax; --n)
        m_store.EffaceValeur(titleSetting(n));
    const bool shrinks = newMax < m_histoMax;
    m_histo.resize(newMax + 1);
    m_histoMax = newMax;
    m_store.EcritValeur(QStringLiteral("Historique-Max"), optionsText);
    if (shrinks)
        emit entriesChanged();
}

std::optional<QString> SearchHistory::completion(const QStringList &entries, const QString &typed,
                                                 bool afterBackspace)
{
    if (afterBackspace)
        return std::nullopt;
    const QString prefix = typed.toUpper();
    for (const QString &entry : entries) {
        const QString candidate = withoutTrailingBlanks(entry);
        if (candidate.toUpper().startsWith(prefix))
            return candidate;
    }
    return std::nullopt;
}
