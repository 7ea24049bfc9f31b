#include "DialogTemplates.h"
#include "ResourceIds.h"

namespace {

constexpr ControlTemplate kControls[] = {
    {IDC_STATIC, ControlKind::Icon, "128", 11, 17, 21, 20, 0, "QAL"},
    {IDC_STATIC, ControlKind::Static, "ZB Version 1.0", 40, 10, 119, 8, kNoPrefix},
    {IDC_STATIC, ControlKind::Static, "Terminal serwisowy czujnika QAL-1P", 40, 25, 119, 8, 0},
    {IDOK, ControlKind::DefPushButton, "OK", 178, 7, 50, 14, kTabStop | kGroup},
};

} // namespace

const DialogTemplate kAboutDialogTemplate = {
    IDD_ABOUTBOX,
    "About ZB",
    235,
    55,
    "MS Sans Serif",
    8,
    kDlgCaption | kDlgModalFrame | kDlgSysMenu,
    kControls,
};
