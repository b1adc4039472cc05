#pragma once

#include "update/options_form.h"

#include <QDialog>
#include <QUrl>
#include <array>
#include <functional>
#include <memory>

class OverLabel;
class Program;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class UpdateCheck;

// The options window: the settings in six sections chosen by tabs. It shows the
// stored settings, previews a language switch at once, and stores everything
// on Ok only. The caller re-reads the settings once it has closed.
class OptionsWindow : public QDialog
{
    Q_OBJECT

public:
    using PageOpener = std::function<void(const QUrl &)>;

    OptionsWindow(Program &program, UpdateCheck &update, QWidget *parent = nullptr);
    // A check by hand still waiting ends with the window.
    ~OptionsWindow() override;

    // Opens web pages; the desktop's browser unless replaced (tests).
    void setPageOpener(PageOpener opener);

    // Re-captions every control in the current language.
    void TraductionOptions();
    void showSection(int section);

    // For tests and the screenshot tour.
    OverLabel *tab(int section) const { return m_tabs.at(section); }
    QGroupBox *panel(int section) const { return m_panels.at(section); }
    QGroupBox *announcementPanel() const { return m_announcement; }
    QLabel *announcedVersionLabel() const { return m_announcedVersion; }
    QLabel *latestVersionLabel() const { return m_latestVersion; }
    QComboBox *answerList() const { return m_answers; }
    QPushButton *checkButton() const { return m_checkNow; }
    QCheckBox *formPositionBox() const { return m_formPosition; }
    QLineEdit *historyBox() const { return m_historyText; }
    QScrollBar *historySpin() const { return m_historySpin; }
    QComboBox *languageList() const { return m_languages; }
    QRadioButton *connection(int mode) const { return m_connection.at(mode); }
    QCheckBox *proxyBox() const { return m_proxyUsed; }
    QLineEdit *proxyAddress() const { return m_proxyAddress; }
    QLineEdit *proxyPort() const { return m_proxyPort; }
    QRadioButton *singleBase() const { return m_singleBase; }
    QRadioButton *severalBases() const { return m_severalBases; }
    QRadioButton *pdfFormat(int i) const { return m_formats.at(i); }
    QRadioButton *pdfFont(int i) const { return m_fonts.at(i); }
    QRadioButton *pdfBackground(int i) const { return m_backgrounds.at(i); }
    QLabel *pdfReaderIcon() const { return m_pdfReader; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

signals:
    // The language list switched the interface: the main window re-captions.
    void languageChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildGeneral();
    void buildConnection();
    void buildProxy();
    void buildUpdate();
    void buildDatabase();
    void buildPdf();
    void buildButtons();
    void fillControls();
    void showProxyFields(bool shown);
    void showAnnouncement();
    QCoro::Task<> checkNow();
    void chooseLanguage(int entry);
    void accept() override;
    void reject() override;
    QString text(int id) const;

    Program &m_program;
    OptionsForm m_form;
    // Cleared when the window goes: a check that ends then touches nothing.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    PageOpener m_openPage;

    std::array<OverLabel *, OptionsForm::kSections> m_tabs{};
    std::array<QGroupBox *, OptionsForm::kSections> m_panels{};

    QCheckBox *m_formPosition = nullptr;
    QLabel *m_historyBefore = nullptr;
    QLineEdit *m_historyText = nullptr;
    QScrollBar *m_historySpin = nullptr;
    QLabel *m_historyAfter = nullptr;
    QLabel *m_languageCaption = nullptr;
    QComboBox *m_languages = nullptr;

    std::array<QRadioButton *, 5> m_connection{};

    QCheckBox *m_proxyUsed = nullptr;
    QLabel *m_proxyAddressCaption = nullptr;
    QLineEdit *m_proxyAddress = nullptr;
    QLabel *m_proxyPortCaption = nullptr;
    QLineEdit *m_proxyPort = nullptr;

    QPushButton *m_checkNow = nullptr;
    QLabel *m_latestVersion = nullptr;
    QGroupBox *m_announcement = nullptr;
    QLabel *m_newVersionBefore = nullptr;
    QLabel *m_announcedVersion = nullptr;
    QLabel *m_newVersionAfter = nullptr;
    QLabel *m_downloadQuestion = nullptr;
    QComboBox *m_answers = nullptr;

    QRadioButton *m_singleBase = nullptr;
    QRadioButton *m_severalBases = nullptr;

    QLabel *m_pdfCaption = nullptr;
    std::array<QGroupBox *, 3> m_pdfPanels{};
    std::array<QRadioButton *, 10> m_formats{};
    std::array<QRadioButton *, 3> m_fonts{};
    std::array<QRadioButton *, 2> m_backgrounds{};
    QLabel *m_pdfReader = nullptr;

    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};
