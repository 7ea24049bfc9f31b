#include "DialogTemplates.h"
#include "ResourceIds.h"

namespace {

constexpr ControlTemplate kControls[] = {
    {IDC_STATIC, ControlKind::Static, "Czekaj ...", 28, 10, 30, 8, 0},
};

} // namespace

const DialogTemplate kWaitDialogTemplate = {
    IDD_WAIT, "Transmisja danych",          88,        29, "MS Sans Serif",
    8,        kDlgCaption | kDlgModalFrame, kControls,
};
