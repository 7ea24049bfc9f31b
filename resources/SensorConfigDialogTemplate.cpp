#include "DialogTemplates.h"
#include "ResourceIds.h"

namespace {

constexpr unsigned kEdit = kTabStop | kBorder | kAutoHScroll;
constexpr unsigned kLabel = kGroup;

constexpr ControlTemplate kControls[] = {
    {IDC_OUTPUT_MODE_ONE_WAY, ControlKind::RadioButton, "jednokierunkowe", 18, 20, 70, 10, kGroup},
    {IDC_OUTPUT_MODE_TWO_WAY, ControlKind::RadioButton, "dwukierunkowe", 18, 36, 66, 10, 0},
    {IDC_OUTPUT_KIND_CURRENT, ControlKind::RadioButton, "prąd", 114, 20, 30, 10, kGroup},
    {IDC_OUTPUT_KIND_VOLTAGE, ControlKind::RadioButton, "napięcie", 114, 36, 43, 10, 0},
    {IDC_DAC_RS, ControlKind::CheckBox, "tryb DAC RS - priorytet nad pozostałymi trybami", 18, 60,
     164, 10, kTabStop},
    {IDC_SERIAL, ControlKind::Edit, "", 66, 76, 40, 14, kEdit | kReadOnly},
    {IDC_PRODUCTION_YEAR, ControlKind::Edit, "", 66, 92, 40, 14, kEdit | kReadOnly},
    {IDC_RANGE, ControlKind::Edit, "", 66, 108, 40, 14, kEdit},
    {IDC_REVERSED, ControlKind::CheckBox, "Odwrocony kierunek wirowania", 120, 88, 55, 25,
     kTabStop | kMultiLine},
    {IDC_DESCRIPTION, ControlKind::Edit, "", 66, 132, 70, 14, kEdit},
    {IDOK, ControlKind::DefPushButton, "Zatwierdź", 37, 156, 50, 14, kTabStop},
    {IDCANCEL, ControlKind::PushButton, "Zaniechaj", 113, 156, 50, 14, kTabStop},
    {IDC_STATIC, ControlKind::GroupBox, "Tryb wyjścia", 6, 4, 90, 50, 0},
    {IDC_STATIC, ControlKind::GroupBox, "Rodzaj wyjścia", 102, 4, 80, 50, 0},
    {IDC_STATIC, ControlKind::Static, "Nr fabryczny :", 12, 80, 44, 8, kLabel, nullptr, IDC_SERIAL},
    {IDC_STATIC, ControlKind::Static, "Zakres [m/s] :", 12, 112, 45, 8, kLabel, nullptr, IDC_RANGE},
    {IDC_STATIC, ControlKind::Static, "Opis :", 36, 136, 19, 8, kLabel, nullptr, IDC_DESCRIPTION},
    {IDC_STATIC, ControlKind::Static, "Rok produkcji :", 12, 96, 49, 8, kLabel, nullptr,
     IDC_PRODUCTION_YEAR},
};

} // namespace

const DialogTemplate kSensorConfigDialogTemplate = {
    IDD_SENSOR_CONFIG,
    "Konfiguracja QAL",
    202,
    181,
    "MS Sans Serif",
    8,
    kDlgCaption | kDlgModalFrame | kDlgSysMenu,
    kControls,
};
