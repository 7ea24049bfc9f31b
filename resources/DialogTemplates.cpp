#include "DialogTemplates.h"

namespace {

const DialogTemplate* const kAllTemplates[] = {
    &kTerminalDialogTemplate, &kAboutDialogTemplate,        &kPortDialogTemplate,
    &kWaitDialogTemplate,     &kSensorConfigDialogTemplate, &kReaderConfigDialogTemplate,
    &kOutputsDialogTemplate,  &kLanguageDialogTemplate,
};

} // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate* dialogTemplate : kAllTemplates) {
        if (dialogTemplate->id == id) {
            return dialogTemplate;
        }
    }
    return nullptr;
}

std::span<const DialogTemplate* const> AllDialogTemplates() {
    return kAllTemplates;
}
