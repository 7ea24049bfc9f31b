#pragma once

#include "DialogTemplate.h"

// One definition per template, each in a file of its own.
extern const DialogTemplate kTerminalDialogTemplate;
extern const DialogTemplate kAboutDialogTemplate;
extern const DialogTemplate kPortDialogTemplate;
extern const DialogTemplate kWaitDialogTemplate;
extern const DialogTemplate kSensorConfigDialogTemplate;
extern const DialogTemplate kReaderConfigDialogTemplate;
extern const DialogTemplate kOutputsDialogTemplate;
extern const DialogTemplate kLanguageDialogTemplate;
