#include "DialogUnits.h"

#include <QFontMetrics>

DialogBaseUnits DialogBaseUnits::ForFont(const QFont& font) {
    const QFontMetrics metrics(font);
    // Windows takes the width of the 52 Latin letters, halves it per letter and rounds.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    DialogBaseUnits units;
    units.x = std::max(1, (letters / 26 + 1) / 2);
    units.y = std::max(1, metrics.height());
    return units;
}
