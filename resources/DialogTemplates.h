#pragma once

#include "DialogTemplate.h"

// One definition per template, each in a file of its own.
extern const DialogTemplate kTerminalDialogTemplate;
extern const DialogTemplate kAboutDialogTemplate;
extern const DialogTemplate kPortDialogTemplate;
extern const DialogTemplate kWaitDialogTemplate;
