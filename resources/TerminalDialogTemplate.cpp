#include "DialogTemplates.h"
#include "ResourceIds.h"

namespace {

constexpr unsigned kButton = kTabStop;
constexpr unsigned kReadOnlyEdit = kTabStop | kReadOnly | kAutoHScroll;

constexpr ControlTemplate kControls[] = {
    {IDC_LOG, ControlKind::Edit, "", 5, 5, 205, 65,
     kReadOnlyEdit | kBorder | kMultiLine | kVScroll | kHScroll | kAutoVScroll, "Dziennik zdarzeń"},
    {IDC_SPEED, ControlKind::Edit, "", 6, 76, 100, 25, kReadOnlyEdit | kBorder, "Prędkość wiatru"},
    {IDC_SENSOR_CONFIG, ControlKind::PushButton, "Konfiguracja QAL", 6, 112, 70, 14, kButton},
    {IDC_OUTPUTS, ControlKind::PushButton, "Ustawianie wyjść", 6, 128, 70, 14, kButton},
    {IDC_READER_CONFIG, ControlKind::PushButton, "Konfiguracja czytnika", 138, 112, 70, 14,
     kButton},
    {IDC_UPDATE_TIME, ControlKind::PushButton, "Aktualizuj czas", 138, 128, 70, 14, kButton},
    {IDC_MEASURE, ControlKind::PushButton, "Odczyt pomiarow", 138, 144, 70, 14,
     kButton | kDisabled},
    {IDC_VERSIONS, ControlKind::PushButton, "Wersje", 138, 160, 70, 14, kButton},
    {IDC_CONNECT, ControlKind::PushButton, "Połącz", 35, 180, 70, 14, kButton},
    {IDC_CONNECTION_OPTIONS, ControlKind::PushButton, "Opcje połączenia", 35, 196, 70, 14, kButton},
    {IDC_DISCONNECT, ControlKind::PushButton, "Rozłącz", 107, 180, 70, 14, kButton},
    {IDOK, ControlKind::DefPushButton, "Wyjście", 107, 196, 70, 14, kButton},
    {IDC_READ_INFO, ControlKind::Edit, "", 114, 76, 96, 24, kReadOnlyEdit | kMultiLine,
     "Dane odczytu"},
};

} // namespace

const DialogTemplate kTerminalDialogTemplate = {
    IDD_TERMINAL,
    "Program kontrolny QAL",
    214,
    221,
    "MS Sans Serif",
    8,
    kDlgCaption | kDlgModalFrame | kDlgSysMenu | kDlgAppWindow,
    kControls,
};
