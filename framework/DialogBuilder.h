#pragma once

#include "DialogTemplate.h"
#include "DialogUnits.h"

#include <QButtonGroup>
#include <QDialog>
#include <QIcon>
#include <QPixmap>

#include <memory>
#include <vector>

// One control of a built dialog, in template order.
struct BuiltControl {
    const ControlTemplate* source = nullptr;
    QWidget* widget = nullptr; // owned by the dialog window
};

// Turns a template into Qt widgets inside the given window: geometry from dialog units,
// captions, styles, accessible names, label buddies and the tab order of the template. Texts
// appear in the program's language.
class DialogBuilder {
public:
    struct Result {
        std::vector<BuiltControl> controls;
        DialogBaseUnits units;
    };

    static Result Build(const DialogTemplate& dialogTemplate, QDialog& window);

    // The application icon (resource 128) in the given size.
    static QPixmap AppIconPixmap(int size);
    // The application icon in both sizes.
    static QIcon AppIcon();
};

// A caption as screen readers say it, in the program's language: mnemonic markers removed.
QString AccessibleCaption(const char* caption);
