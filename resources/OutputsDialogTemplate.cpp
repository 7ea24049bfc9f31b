#include "DialogTemplates.h"
#include "ResourceIds.h"

namespace {

constexpr unsigned kEdit = kTabStop | kBorder | kAutoHScroll;

// The three rows look alike; their names tell a screen reader which output a control belongs to.
constexpr ControlTemplate kControls[] = {
    {IDC_OUTPUT1_ACTIVE, ControlKind::CheckBox, "wyjście 1 aktywne", 20, 25, 73, 10, kTabStop},
    {IDC_OUTPUT2_ACTIVE, ControlKind::CheckBox, "wyjście 2 aktywne", 20, 40, 73, 10, kTabStop},
    {IDC_OUTPUT3_ACTIVE, ControlKind::CheckBox, "wyjście 3 aktywne", 20, 55, 73, 10, kTabStop},
    {IDC_OUTPUT1_MIN, ControlKind::Edit, "", 140, 20, 40, 14, kEdit, "wyjście 1 min"},
    {IDC_OUTPUT2_MIN, ControlKind::Edit, "", 140, 35, 40, 14, kEdit, "wyjście 2 min"},
    {IDC_OUTPUT3_MIN, ControlKind::Edit, "", 140, 50, 40, 14, kEdit, "wyjście 3 min"},
    {IDC_OUTPUT1_MAX, ControlKind::Edit, "", 220, 20, 40, 14, kEdit, "wyjście 1 max"},
    {IDC_OUTPUT2_MAX, ControlKind::Edit, "", 220, 35, 40, 14, kEdit, "wyjście 2 max"},
    {IDC_OUTPUT3_MAX, ControlKind::Edit, "", 220, 50, 40, 14, kEdit, "wyjście 3 max"},
    {IDC_OUTPUT1_INVERTED, ControlKind::CheckBox, "inw", 265, 25, 27, 10, kTabStop,
     "wyjście 1 inw"},
    {IDC_OUTPUT2_INVERTED, ControlKind::CheckBox, "inw", 265, 40, 27, 10, kTabStop,
     "wyjście 2 inw"},
    {IDC_OUTPUT3_INVERTED, ControlKind::CheckBox, "inw", 265, 55, 27, 10, kTabStop,
     "wyjście 3 inw"},
    {IDOK, ControlKind::DefPushButton, "Zapisz", 98, 100, 50, 14, kTabStop},
    {IDCANCEL, ControlKind::PushButton, "Zaniechaj", 163, 100, 50, 14, kTabStop},
    {IDC_STATIC, ControlKind::GroupBox, "Progi wyjść [m/s]", 10, 5, 295, 70, 0},
    {IDC_STATIC, ControlKind::Static, "min :", 110, 25, 16, 8, 0, nullptr, IDC_OUTPUT1_MIN},
    {IDC_STATIC, ControlKind::Static, "max :", 192, 24, 18, 8, 0, nullptr, IDC_OUTPUT1_MAX},
    {IDC_STATIC, ControlKind::Static, "min :", 110, 40, 16, 8, 0, nullptr, IDC_OUTPUT2_MIN},
    {IDC_STATIC, ControlKind::Static, "max :", 192, 40, 18, 8, 0, nullptr, IDC_OUTPUT2_MAX},
    {IDC_STATIC, ControlKind::Static, "min :", 110, 55, 16, 8, 0, nullptr, IDC_OUTPUT3_MIN},
    {IDC_STATIC, ControlKind::Static, "max :", 192, 56, 18, 8, 0, nullptr, IDC_OUTPUT3_MAX},
};

} // namespace

const DialogTemplate kOutputsDialogTemplate = {
    IDD_OUTPUTS,
    "Konfiguracja wyjść",
    312,
    127,
    "MS Sans Serif",
    8,
    kDlgCaption | kDlgModalFrame | kDlgSysMenu,
    kControls,
};
