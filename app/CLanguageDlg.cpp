#include "CLanguageDlg.h"

#include "DataExchange.h"
#include "LanguageFile.h"
#include "ResourceIds.h"

#include <system_error>

namespace {

// In the order of the dialog's buttons.
constexpr Language kChoices[] = {Language::Polish, Language::English};
// Each language by its own name, as the dialog shows it.
constexpr const char* kOwnNames[] = {"Polski", "English"};

int IndexOf(Language language) {
    return language == Language::English ? 1 : 0;
}

} // namespace

CLanguageDlg::CLanguageDlg() : CDialog(IDD_LANGUAGE) {}

void CLanguageDlg::DoDataExchange(CDataExchange& dx) {
    m_nChoice = IndexOf(m_language);
    DDX_Radio(dx, IDC_LANGUAGE_POLISH, m_nChoice);
    if (m_nChoice >= 0 && m_nChoice < static_cast<int>(std::size(kChoices))) {
        m_language = kChoices[m_nChoice];
    }
}

void RunLanguageChoice(IEventLog& log, const std::string& settingsDirectory) {
    CLanguageDlg dialog;
    dialog.m_language = LoadLanguageFile(settingsDirectory).value_or(Language::Polish);
    if (dialog.DoModal() != IDOK) {
        return;
    }
    std::error_code error;
    if (!SaveLanguageFile(settingsDirectory, dialog.m_language, error)) {
        log.AppendLog("Nie można zapisać pliku '" + settingsDirectory + kLanguageFileName + "'",
                      true);
        return;
    }
    log.AppendLog(std::string("Wybrano język: ") + kOwnNames[IndexOf(dialog.m_language)] +
                      ". Zmiana nastąpi przy następnym uruchomieniu.",
                  true);
}
