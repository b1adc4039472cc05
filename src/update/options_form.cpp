#include "update/options_form.h"

#include "core/program.h"
#include "core/search_history.h"
#include "text/text_helpers.h"
#include "settings/settings_store.h"
#include "update/update_check.h"

namespace {

constexpr int kEnglishOffset = 1000;
constexpr int kFrenchOffset = 0;
constexpr int kConnectionModes = 5;

const QString kFormPosition = QStringLiteral("Form-Position");
const QString kHistoryMax = QStringLiteral("Historique-Max");
const QString kLanguage = QStringLiteral("Langue");
const QString kProxyAddress = QStringLiteral("Proxy-Adresse");
const QString kProxyPort = QStringLiteral("Proxy-Port");
const QString kSingleBase = QStringLiteral("BdD");

} // namespace

OptionsForm::OptionsForm(Program &program, UpdateCheck &update)
    : m_program(program), m_update(update)
{
}

QStringList OptionsForm::languages()
{
    return {QStringLiteral("English"), QStringLiteral("Français")};
}

QStringList OptionsForm::pdfFormats()
{
    return {
        QStringLiteral("142 x   95 mm (8mm)"), QStringLiteral("232 x 190 mm"),
        QStringLiteral("257 x 197 mm"),        QStringLiteral("260 x 197 mm"),
        QStringLiteral("267 x 198 mm"),        QStringLiteral("268 x 190 mm"),
        QStringLiteral("272 x 182 mm (DVD)"),  QStringLiteral("274 x 120 mm (CD)"),
        QStringLiteral("275 x 185 mm (DVD)"),  QStringLiteral("289 x 210 mm"),
    };
}

QStringList OptionsForm::pdfFonts()
{
    return {QStringLiteral("Arial"), QStringLiteral("Times"), QStringLiteral("Courier")};
}

QString OptionsForm::pdfReaderPage()
{
    return QStringLiteral("https://www.adobe.com/products/acrobat/readstep2.html");
}

std::optional<int> OptionsForm::leadingNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    qsizetype end = 0;
    if (end < trimmed.size() && (trimmed[end] == u'-' || trimmed[end] == u'+'))
        ++end;
    const qsizetype digitsFrom = end;
    while (end < trimmed.size() && trimmed[end].isDigit() && trimmed[end].unicode() < 128)
        ++end;
    if (end == digitsFrom)
        return 0;
    const int number = text::intValue(QStringView(trimmed).first(end), -1);
    if (number < 0 || number > SearchHistory::kLargestLength)
        return std::nullopt;
    return number;
}

int OptionsForm::readChoice(const char *name) const
{
    return text::intValue(m_program.settings().LitValeur(QString::fromLatin1(name)), kNoChoice);
}

void OptionsForm::writeChoice(const char *name, int value)
{
    // A setting that could not be read stays as it is unless the user chose.
    if (value != kNoChoice)
        m_program.settings().EcritValeur(QString::fromLatin1(name), QString::number(value));
}

void OptionsForm::read()
{
    const SettingsStore &store = m_program.settings();
    formPosition = text::intValue(store.LitValeur(kFormPosition), 0) != 0;
    historyText = store.LitValeur(kHistoryMax);
    language = int(languages().indexOf(store.LitValeur(kLanguage)));
    connexion = readChoice("Connexion");

    proxyAddress = store.LitValeur(kProxyAddress);
    proxyUsed = !proxyAddress.isEmpty();
    proxyPort = proxyUsed ? store.LitValeur(kProxyPort) : QString();

    singleBase = store.readBool(kSingleBase).value_or(false);
    pdfFormat = readChoice("PDF-Format");
    pdfFond = readChoice("PDF-Fond");
    pdfPolice = readChoice("PDF-Police");
    updateAnswer = UpdateCheck::DownloadNow;
}

QString OptionsForm::write()
{
    SettingsStore &store = m_program.settings();
    store.EcritValeur(kFormPosition, QString::number(formPosition ? 1 : 0));
    store.EcritValeur(kLanguage, languages().value(language));

    const std::optional<int> count = leadingNumber(historyText);
    if (count && *count != m_program.history().HistoMax())
        m_program.history().resize(*count, historyText);

    if (connexion >= 0 && connexion < kConnectionModes)
        writeChoice("Connexion", connexion);
    if (proxyUsed) {
        store.EcritValeur(kProxyAddress, proxyAddress.trimmed());
        store.EcritValeur(kProxyPort, proxyPort.trimmed());
    } else {
        store.EffaceValeur(kProxyAddress);
        store.EffaceValeur(kProxyPort);
    }
    const QString page = m_update.answer(updateAnswer);
    store.writeBool(kSingleBase, singleBase);
    writeChoice("PDF-Format", pdfFormat);
    writeChoice("PDF-Fond", pdfFond);
    writeChoice("PDF-Police", pdfPolice);
    return page;
}

void OptionsForm::close()
{
    m_update.clearNouvelleVersion();
}

void OptionsForm::chooseLanguage(int entry)
{
    if (entry < 0 || entry >= languages().size())
        return;
    language = entry;
    m_program.state().LangOffset = entry == 0 ? kEnglishOffset : kFrenchOffset;
}

int OptionsForm::openingSection() const
{
    return announcedVersion().isEmpty() ? kGeneral : kUpdate;
}

QString OptionsForm::announcedVersion() const
{
    return m_update.NouvelleVersion();
}

void OptionsForm::cancelCheck()
{
    m_update.cancelCheck();
}

QCoro::Task<bool> OptionsForm::checkNow()
{
    co_await m_update.RNouvelleVersion();
    updateAnswer = UpdateCheck::DownloadNow;
    co_return !announcedVersion().isEmpty();
}

int OptionsForm::spinPosition() const
{
    return kSpinTop - leadingNumber(historyText).value_or(m_program.history().HistoMax());
}

void OptionsForm::setSpinPosition(int position)
{
    historyText = QString::number(kSpinTop - position);
}
