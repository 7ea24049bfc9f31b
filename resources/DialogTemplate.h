#pragma once

#include <span>

// A dialog layout as data: what the window and each control are, where they stand in dialog
// units, and their order, which is also the tab order.

enum class ControlKind {
    PushButton,
    DefPushButton,
    RadioButton, // automatic radio button
    CheckBox,    // automatic check box
    Edit,
    Static,
    GroupBox,
    Icon,
};

enum ControlStyle : unsigned {
    kTabStop = 1u << 0,
    kGroup = 1u << 1, // starts a group (radio groups run up to the next such control)
    kDisabled = 1u << 2,
    kReadOnly = 1u << 3,
    kBorder = 1u << 4,
    kVScroll = 1u << 5,
    kHScroll = 1u << 6,
    kAutoHScroll = 1u << 7,
    kAutoVScroll = 1u << 8,
    kMultiLine = 1u << 9, // an edit of several lines, or a button caption wrapped to its width
    kNoPrefix = 1u << 10, // '&' is shown as is
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* caption; // UTF-8; for an icon the icon's resource id in decimal
    int x, y, cx, cy;    // dialog units
    unsigned style;
    // The name screen readers announce, where the caption (or the label of an edit) would not
    // tell the control apart from its neighbours. Otherwise a static text that labels an edit
    // names it through labelFor.
    const char* accessibleName = nullptr;
    int labelFor = 0; // id of the control this static text labels
};

enum DialogStyle : unsigned {
    kDlgCaption = 1u << 0,
    kDlgModalFrame = 1u << 1,
    kDlgSysMenu = 1u << 2,
    kDlgAppWindow = 1u << 3, // shown on the task bar
};

struct DialogTemplate {
    int id;
    const char* caption;
    int cx, cy; // dialog units
    const char* fontFace;
    int fontPoints;
    unsigned style;
    std::span<const ControlTemplate> controls;
};

// The template with this id, or null.
const DialogTemplate* FindDialogTemplate(int id);

// Every template of the program.
std::span<const DialogTemplate* const> AllDialogTemplates();
