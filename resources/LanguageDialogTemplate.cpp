#include "DialogTemplates.h"
#include "ResourceIds.h"

namespace {

// The names of the languages are their own, and the caption says both: whoever cannot read the
// language the program speaks still finds the way back.
constexpr ControlTemplate kControls[] = {
    {IDC_LANGUAGE_POLISH, ControlKind::RadioButton, "Polski", 12, 10, 60, 10, kGroup},
    {IDC_LANGUAGE_ENGLISH, ControlKind::RadioButton, "English", 12, 24, 60, 10, 0},
    {IDOK, ControlKind::DefPushButton, "Zatwierdź", 96, 8, 50, 14, kTabStop},
    {IDCANCEL, ControlKind::PushButton, "Zaniechaj", 96, 26, 50, 14, kTabStop},
    {IDC_STATIC, ControlKind::Static, "Zmiana nastąpi przy następnym uruchomieniu.", 12, 48, 134,
     16, 0},
};

} // namespace

const DialogTemplate kLanguageDialogTemplate = {
    IDD_LANGUAGE,
    "Język / Language",
    158,
    72,
    "MS Sans Serif",
    8,
    kDlgCaption | kDlgModalFrame | kDlgSysMenu,
    kControls,
};
