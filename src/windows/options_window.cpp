#include "windows/options_window.h"

#include "controls/over_label.h"
#include "core/program.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QWindow>

namespace {

constexpr QSize kWindowSize(520, 300);
constexpr QRect kPanelArea(150, 8, 360, 244);
constexpr int kTabLeft = 10;
constexpr int kTabTop = 14;
constexpr int kTabStep = 26;
// The PDF reader's icon, in window coordinates; it sinks one pixel while pressed.
constexpr QPoint kReaderIconAt(5940 / 15, 2640 / 15);
constexpr int kAnswers = 6;

const char kStyle[] =
    "OptionsWindow { background: rgb(226,232,247); }"
    "QGroupBox { border: 1px solid rgb(160,172,204); border-radius: 4px; margin-top: 8px;"
    " color: rgb(44,56,92); font-weight: bold; }"
    "QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }"
    "QGroupBox > QLabel, QGroupBox > QCheckBox, QGroupBox > QRadioButton { font-weight: normal; color: rgb(30,38,60); }"
    "QGroupBox QGroupBox { font-weight: bold; }"
    "QGroupBox QGroupBox > QRadioButton { font-weight: normal; }"
    "QLabel#announcedVersion { font-weight: bold; color: rgb(76,102,186); }";

template<typename Widget>
Widget *placed(Widget *widget, QRect geometry)
{
    widget->setGeometry(geometry);
    return widget;
}

QLabel *wrappedLabel(QWidget *parent, QRect geometry)
{
    auto *label = placed(new QLabel(parent), geometry);
    label->setWordWrap(true);
    return label;
}

} // namespace

OptionsWindow::OptionsWindow(Program &program, UpdateCheck &update, QWidget *parent)
    : QDialog(parent)
    , m_program(program)
    , m_form(program, update)
    , m_openPage([](const QUrl &address) { QDesktopServices::openUrl(address); })
{
    setModal(true);
    setFixedSize(kWindowSize);
    setStyleSheet(QString::fromLatin1(kStyle));
    QFont small = font();
    small.setPointSizeF(8.5);
    setFont(small);

    const QPixmap icons(QStringLiteral(":/pictures/options_tabs.png"));
    for (int i = 0; i < OptionsForm::kSections; ++i) {
        m_tabs[i] = new OverLabel(icons, this);
        m_tabs[i]->move(kTabLeft, kTabTop + i * kTabStep);
        connect(m_tabs[i], &OverLabel::Click, this, [this, i] { showSection(i); });
        m_panels[i] = placed(new QGroupBox(this), kPanelArea);
    }
    buildGeneral();
    buildConnection();
    buildProxy();
    buildUpdate();
    buildDatabase();
    buildPdf();
    buildButtons();

    m_form.read();
    fillControls();
    TraductionOptions();
    if (m_form.openingSection() == OptionsForm::kUpdate) {
        showSection(OptionsForm::kUpdate);
        showAnnouncement();
    } else {
        showSection(OptionsForm::kGeneral);
    }
}

QString OptionsWindow::text(int id) const
{
    return m_program.text(id);
}

void OptionsWindow::setPageOpener(PageOpener opener)
{
    m_openPage = std::move(opener);
}

void OptionsWindow::buildGeneral()
{
    QGroupBox *panel = m_panels[OptionsForm::kGeneral];
    m_formPosition = placed(new QCheckBox(panel), QRect(14, 26, 340, 20));
    connect(m_formPosition, &QCheckBox::toggled, this, [this](bool on) { m_form.formPosition = on; });

    m_historyBefore = placed(new QLabel(panel), QRect(14, 64, 82, 20));
    m_historyText = placed(new QLineEdit(panel), QRect(98, 62, 36, 22));
    m_historySpin = placed(new QScrollBar(Qt::Vertical, panel), QRect(134, 62, 14, 22));
    // The count shown is 150 minus the position: the up arrow raises it.
    m_historySpin->setRange(0, OptionsForm::kSpinTop);
    m_historyAfter = wrappedLabel(panel, QRect(154, 58, 172, 30));
    connect(m_historyText, &QLineEdit::textEdited, this, [this](const QString &typed) { m_form.historyText = typed; });
    connect(m_historySpin, &QScrollBar::valueChanged, this, [this](int position) {
        m_form.setSpinPosition(position);
        m_historyText->setText(m_form.historyText);
    });

    m_languageCaption = placed(new QLabel(panel), QRect(14, 110, 82, 20));
    m_languages = placed(new QComboBox(panel), QRect(98, 108, 120, 22));
    m_languages->addItems(OptionsForm::languages());
    connect(m_languages, &QComboBox::activated, this, &OptionsWindow::chooseLanguage);
}

void OptionsWindow::buildConnection()
{
    QGroupBox *panel = m_panels[OptionsForm::kConnection];
    auto *group = new QButtonGroup(panel);
    for (int i = 0; i < int(m_connection.size()); ++i) {
        m_connection[i] = placed(new QRadioButton(panel), QRect(16, 28 + i * 26, 340, 22));
        group->addButton(m_connection[i], i);
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int mode) { m_form.connexion = mode; });
}

void OptionsWindow::buildProxy()
{
    QGroupBox *panel = m_panels[OptionsForm::kProxy];
    m_proxyUsed = placed(new QCheckBox(panel), QRect(14, 26, 340, 20));
    m_proxyAddressCaption = placed(new QLabel(panel), QRect(30, 64, 64, 20));
    m_proxyAddress = placed(new QLineEdit(panel), QRect(96, 62, 220, 22));
    m_proxyPortCaption = placed(new QLabel(panel), QRect(30, 96, 64, 20));
    m_proxyPort = placed(new QLineEdit(panel), QRect(96, 94, 64, 22));
    connect(m_proxyUsed, &QCheckBox::toggled, this, [this](bool on) {
        m_form.proxyUsed = on;
        showProxyFields(on);
    });
    connect(m_proxyAddress, &QLineEdit::textEdited, this, [this](const QString &typed) { m_form.proxyAddress = typed; });
    connect(m_proxyPort, &QLineEdit::textEdited, this, [this](const QString &typed) { m_form.proxyPort = typed; });
}

void OptionsWindow::buildUpdate()
{
    QGroupBox *panel = m_panels[OptionsForm::kUpdate];
    m_checkNow = placed(new QPushButton(panel), QRect(16, 30, 220, 26));
    m_latestVersion = wrappedLabel(panel, QRect(16, 70, 300, 36));
    connect(m_checkNow, &QPushButton::clicked, this, &OptionsWindow::checkNow);

    m_announcement = placed(new QGroupBox(this), kPanelArea);
    m_newVersionBefore = placed(new QLabel(m_announcement), QRect(16, 28, 300, 18));
    m_announcedVersion = placed(new QLabel(m_announcement), QRect(16, 48, 300, 20));
    m_announcedVersion->setObjectName(QStringLiteral("announcedVersion"));
    m_announcedVersion->setTextFormat(Qt::PlainText);
    m_newVersionAfter = placed(new QLabel(m_announcement), QRect(16, 70, 300, 18));
    m_downloadQuestion = placed(new QLabel(m_announcement), QRect(16, 100, 300, 18));
    m_answers = placed(new QComboBox(m_announcement), QRect(16, 124, 300, 24));
    connect(m_answers, &QComboBox::activated, this, [this](int entry) { m_form.updateAnswer = entry; });
}

void OptionsWindow::buildDatabase()
{
    QGroupBox *panel = m_panels[OptionsForm::kDatabase];
    m_singleBase = placed(new QRadioButton(panel), QRect(16, 30, 340, 22));
    m_severalBases = placed(new QRadioButton(panel), QRect(16, 58, 340, 22));
    connect(m_singleBase, &QRadioButton::toggled, this, [this](bool on) { m_form.singleBase = on; });
}

void OptionsWindow::buildPdf()
{
    QGroupBox *panel = m_panels[OptionsForm::kPdf];
    m_pdfCaption = placed(new QLabel(panel), QRect(12, 18, 310, 18));
    m_pdfPanels[0] = placed(new QGroupBox(panel), QRect(8, 38, 170, 200));
    m_pdfPanels[1] = placed(new QGroupBox(panel), QRect(184, 38, 142, 76));
    m_pdfPanels[2] = placed(new QGroupBox(panel), QRect(184, 116, 142, 52));

    auto fill = [this](auto &buttons, QGroupBox *box, const QStringList &captions, int rowHeight, int &choice) {
        auto *group = new QButtonGroup(box);
        for (int i = 0; i < int(buttons.size()); ++i) {
            buttons[i] = placed(new QRadioButton(captions.value(i), box), QRect(10, 18 + i * rowHeight, 156, rowHeight));
            group->addButton(buttons[i], i);
        }
        connect(group, &QButtonGroup::idClicked, this, [&choice](int id) { choice = id; });
    };
    fill(m_formats, m_pdfPanels[0], OptionsForm::pdfFormats(), 18, m_form.pdfFormat);
    fill(m_fonts, m_pdfPanels[1], OptionsForm::pdfFonts(), 18, m_form.pdfPolice);
    fill(m_backgrounds, m_pdfPanels[2], QStringList(), 16, m_form.pdfFond);

    m_pdfReader = new QLabel(this);
    m_pdfReader->setPixmap(QPixmap(QStringLiteral(":/pictures/pdf_reader.png")));
    m_pdfReader->setGeometry(QRect(kReaderIconAt, QSize(32, 32)));
    m_pdfReader->setCursor(Qt::PointingHandCursor);
    m_pdfReader->installEventFilter(this);
}

void OptionsWindow::buildButtons()
{
    m_ok = placed(new QPushButton(this), QRect(330, 264, 84, 26));
    m_cancel = placed(new QPushButton(this), QRect(424, 264, 84, 26));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &OptionsWindow::accept);
    connect(m_cancel, &QPushButton::clicked, this, &OptionsWindow::reject);
}

void OptionsWindow::fillControls()
{
    m_formPosition->setChecked(m_form.formPosition);
    const QString history = m_form.historyText;
    m_historySpin->setValue(m_form.spinPosition());
    // The spin writes its count; the box shows the text as stored.
    m_form.historyText = history;
    m_historyText->setText(history);
    m_languages->setCurrentIndex(m_form.language);

    if (m_form.connexion >= 0 && m_form.connexion < int(m_connection.size()))
        m_connection[m_form.connexion]->setChecked(true);

    m_proxyUsed->setChecked(m_form.proxyUsed);
    m_proxyAddress->setText(m_form.proxyAddress);
    m_proxyPort->setText(m_form.proxyPort);
    showProxyFields(m_form.proxyUsed);

    (m_form.singleBase ? m_singleBase : m_severalBases)->setChecked(true);

    auto tick = [](auto &buttons, int choice) {
        if (choice >= 0 && choice < int(buttons.size()))
            buttons[choice]->setChecked(true);
    };
    tick(m_formats, m_form.pdfFormat);
    tick(m_fonts, m_form.pdfPolice);
    tick(m_backgrounds, m_form.pdfFond);
}

void OptionsWindow::TraductionOptions()
{
    setWindowTitle(text(6));
    m_ok->setText(text(370));
    m_cancel->setText(text(371));
    m_pdfReader->setToolTip(text(366));

    const int tabTexts[] = {300, 340, 0, 310, 350, 367};
    for (int i = 0; i < OptionsForm::kSections; ++i) {
        m_tabs[i]->ACharger(i);
        m_tabs[i]->setCaption(i == OptionsForm::kProxy ? QStringLiteral("Proxy") : text(tabTexts[i]));
    }

    m_panels[OptionsForm::kGeneral]->setTitle(text(300));
    m_formPosition->setText(text(301));
    m_historyBefore->setText(text(302));
    m_historyAfter->setText(text(303));
    m_languageCaption->setText(text(304));

    m_announcement->setTitle(text(310));
    m_newVersionBefore->setText(text(313));
    m_newVersionAfter->setText(text(314));
    m_downloadQuestion->setText(text(315));
    // Refilling the list would lose the user's answer; keep it.
    const int answer = m_answers->currentIndex();
    m_answers->clear();
    for (int i = 0; i < kAnswers; ++i)
        m_answers->addItem(text(316 + i));
    m_answers->setCurrentIndex(answer);
    m_panels[OptionsForm::kUpdate]->setTitle(text(310));
    m_checkNow->setText(text(311));
    m_latestVersion->setText(text(312));

    m_panels[OptionsForm::kProxy]->setTitle(text(330));
    m_proxyUsed->setText(text(331));
    m_proxyAddressCaption->setText(text(332));
    m_proxyPortCaption->setText(text(333));

    m_panels[OptionsForm::kConnection]->setTitle(text(341));
    for (int i = 0; i < int(m_connection.size()); ++i)
        m_connection[i]->setText(text(342 + i));

    m_panels[OptionsForm::kDatabase]->setTitle(text(350));
    m_singleBase->setText(text(351));
    m_severalBases->setText(text(352));

    m_panels[OptionsForm::kPdf]->setTitle(QStringLiteral("MovieCovers"));
    m_pdfCaption->setText(text(360));
    for (int i = 0; i < int(m_pdfPanels.size()); ++i)
        m_pdfPanels[i]->setTitle(text(361 + i));
    m_backgrounds[0]->setText(text(364));
    m_backgrounds[1]->setText(text(365));
}

void OptionsWindow::showSection(int section)
{
    if (section < 0 || section >= OptionsForm::kSections)
        return;
    for (int i = 0; i < OptionsForm::kSections; ++i) {
        m_tabs[i]->Selection(false);
        m_panels[i]->hide();
    }
    m_latestVersion->hide();
    m_announcement->hide();
    m_pdfReader->hide();
    m_tabs[section]->Selection(true);
    m_panels[section]->show();
    // The jacket choices and the reader's icon belong to the PDF section only.
    m_pdfReader->setVisible(section == OptionsForm::kPdf);
    m_pdfReader->raise();
}

void OptionsWindow::showProxyFields(bool shown)
{
    for (QWidget *field : {static_cast<QWidget *>(m_proxyAddressCaption), static_cast<QWidget *>(m_proxyAddress),
                           static_cast<QWidget *>(m_proxyPortCaption), static_cast<QWidget *>(m_proxyPort)})
        field->setVisible(shown);
}

void OptionsWindow::showAnnouncement()
{
    m_panels[OptionsForm::kUpdate]->hide();
    m_announcement->show();
    m_announcedVersion->setText(m_form.announcedVersion());
    m_answers->setCurrentIndex(0);
    m_form.updateAnswer = 0;
}

OptionsWindow::~OptionsWindow()
{
    *m_alive = false;
    m_form.cancelCheck();
}

QCoro::Task<> OptionsWindow::checkNow()
{
    m_latestVersion->hide();
    m_checkNow->setEnabled(false);
    const std::shared_ptr<bool> alive = m_alive;
    const bool announced = co_await m_form.checkNow();
    if (!*alive)
        co_return;
    m_checkNow->setEnabled(true);
    if (announced)
        showAnnouncement();
    else
        m_latestVersion->show();
}

void OptionsWindow::chooseLanguage(int entry)
{
    m_form.chooseLanguage(entry);
    emit languageChanged();
    TraductionOptions();
}

void OptionsWindow::accept()
{
    const QString page = m_form.write();
    if (!page.isEmpty())
        m_openPage(QUrl(page));
    m_form.close();
    QDialog::accept();
}

void OptionsWindow::reject()
{
    m_form.close();
    QDialog::reject();
}

void OptionsWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_ok->setFocus();
}

void OptionsWindow::mousePressEvent(QMouseEvent *event)
{
    // Presses on the background, a panel or a plain text move the window.
    if (event->button() == Qt::LeftButton && windowHandle())
        windowHandle()->startSystemMove();
}

bool OptionsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_pdfReader)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress) {
        m_pdfReader->move(kReaderIconAt + QPoint(1, 1));
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        m_pdfReader->move(kReaderIconAt);
        if (m_pdfReader->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint()))
            m_openPage(QUrl(OptionsForm::pdfReaderPage()));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
