#include "DialogTemplates.h"
#include "ResourceIds.h"

namespace {

constexpr unsigned kEdit = kTabStop | kBorder | kAutoHScroll;

constexpr ControlTemplate kControls[] = {
    {IDC_SERIAL, ControlKind::Edit, "", 66, 4, 40, 14, kEdit | kReadOnly},
    {IDC_INTERVAL, ControlKind::Edit, "", 66, 24, 40, 14, kEdit},
    {IDC_DESCRIPTION, ControlKind::Edit, "", 66, 44, 70, 14, kEdit},
    {IDOK, ControlKind::DefPushButton, "Zatwierdź", 21, 72, 50, 14, kTabStop},
    {IDCANCEL, ControlKind::PushButton, "Zaniechaj", 75, 72, 50, 14, kTabStop},
    {IDC_STATIC, ControlKind::Static, "Nr fabryczny :", 12, 8, 44, 8, 0, nullptr, IDC_SERIAL},
    {IDC_STATIC, ControlKind::Static, "Opis :", 12, 49, 19, 8, 0, nullptr, IDC_DESCRIPTION},
    {IDC_STATIC, ControlKind::Static, "Częstość rejestracji [s] :", 12, 24, 50, 20, 0, nullptr,
     IDC_INTERVAL},
};

} // namespace

const DialogTemplate kReaderConfigDialogTemplate = {
    IDD_READER_CONFIG,
    "Konfiguracja czytnika",
    148,
    93,
    "MS Sans Serif",
    8,
    kDlgCaption | kDlgModalFrame | kDlgSysMenu,
    kControls,
};
