#pragma once

#include "CDialog.h"
#include "EventLog.h"
#include "Language.h"

#include <string>

// "Język / Language": Polish or English for the next start. The choice goes into the language
// file beside config.cfg only after "Zatwierdź".
class CLanguageDlg : public CDialog {
public:
    CLanguageDlg();

    Language m_language = Language::Polish;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    int m_nChoice = 0; // index of the checked button
};

// Asks with the dialog, starting from the language file's choice, and keeps the answer in the
// settings folder (ending in a separator); the event log says what was chosen and that it
// applies at the next start, or why it could not be kept.
void RunLanguageChoice(IEventLog& log, const std::string& settingsDirectory);
