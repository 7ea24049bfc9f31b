#pragma once

#include <cstdint>
#include <string>

class CDialog;
class QWidget;

// One transfer between a dialog's members and its controls. Opening shows members in their
// controls; saving reads them back and checks them, in the dialog's order, and the first check
// that fails shows its message, puts the focus back on its control and stops the rest.
class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saveAndValidate)
        : m_pDlgWnd(&dialog), m_bSaveAndValidate(saveAndValidate) {}

    // The control with this id, remembered as the one a failing check refers to.
    QWidget* PrepareCtrl(int id);
    // Shows the message, focuses the last prepared control (selecting an edit's text) and
    // ends the exchange.
    void Fail(const std::string& message);
    bool Failed() const { return m_bFailed; }

    CDialog* m_pDlgWnd;
    const bool m_bSaveAndValidate;
    int m_idLastControl = 0;

private:
    bool m_bFailed = false;
};

// Attaches a member to its control.
template <typename Widget> void DDX_Control(CDataExchange& dx, int id, Widget*& member);

void DDX_Text(CDataExchange& dx, int id, std::int32_t& value);
void DDX_Text(CDataExchange& dx, int id, std::int16_t& value);
void DDX_Text(CDataExchange& dx, int id, std::uint8_t& value);
void DDX_Text(CDataExchange& dx, int id, std::uint16_t& value);
void DDX_Text(CDataExchange& dx, int id, std::uint32_t& value);
void DDX_Text(CDataExchange& dx, int id, std::string& value);

// Check box: 1 checked, 0 not. On opening a value other than 0, 1 or 2 is shown unchecked and
// reset to 0. A 2 is shown half-checked and read back as 2 until the user clicks the box; from
// then on it is an ordinary two-state box, so a value nobody touched goes back unchanged.
void DDX_Check(CDataExchange& dx, int id, int& value);

// Radio group starting at firstId: index of the checked button, -1 when none is.
void DDX_Radio(CDataExchange& dx, int firstId, int& value);

// Range of the value last exchanged; checked when saving only.
void DDV_MinMax(CDataExchange& dx, long long value, long long minimum, long long maximum);

// Text limit: set on the edit when opening, so typing stops there; checked when saving.
void DDV_MaxChars(CDataExchange& dx, const std::string& value, int limit);
// The same, and the edit also refuses, typed or pasted, every character `accepts` says no to.
void DDV_MaxChars(CDataExchange& dx, const std::string& value, int limit,
                  bool (*accepts)(char32_t));

#include "DataExchange.inl"
