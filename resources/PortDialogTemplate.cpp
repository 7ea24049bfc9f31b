#include "DialogTemplates.h"
#include "ResourceIds.h"

namespace {

constexpr ControlTemplate kControls[] = {
    {IDC_PORT_COM1, ControlKind::RadioButton, "COM1", 12, 12, 36, 10, kGroup},
    {1007, ControlKind::RadioButton, "COM2", 12, 24, 36, 10, 0},
    {1008, ControlKind::RadioButton, "COM3", 12, 36, 36, 10, 0},
    {1009, ControlKind::RadioButton, "COM4", 12, 48, 36, 10, 0},
    {1010, ControlKind::RadioButton, "COM5", 12, 60, 36, 10, 0},
    {IDC_PORT_COM6, ControlKind::RadioButton, "COM6", 12, 72, 36, 10, 0},
    {IDOK, ControlKind::DefPushButton, "Zatwierdź", 60, 20, 50, 14, kTabStop},
    {IDCANCEL, ControlKind::PushButton, "Zaniechaj", 60, 40, 50, 14, kTabStop},
};

} // namespace

const DialogTemplate kPortDialogTemplate = {
    IDD_PORT,
    "Wybierz port",
    118,
    97,
    "MS Sans Serif",
    8,
    kDlgCaption | kDlgModalFrame | kDlgSysMenu,
    kControls,
};
