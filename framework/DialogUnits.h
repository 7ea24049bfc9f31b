#pragma once

#include <QFont>
#include <QRect>

// Dialog units are fractions of the dialog font's average character: a quarter of its width
// horizontally, an eighth of its height vertically, as on Windows.
struct DialogBaseUnits {
    int x = 1; // average character width in pixels
    int y = 1; // character height in pixels

    static DialogBaseUnits ForFont(const QFont& font);

    int ToPixelsX(int dialogUnits) const { return (dialogUnits * x + 2) / 4; }
    int ToPixelsY(int dialogUnits) const { return (dialogUnits * y + 4) / 8; }
    QRect ToPixels(int dlgX, int dlgY, int dlgWidth, int dlgHeight) const {
        return {ToPixelsX(dlgX), ToPixelsY(dlgY), ToPixelsX(dlgWidth), ToPixelsY(dlgHeight)};
    }
};
