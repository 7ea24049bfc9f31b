#include "UiText.h"

#include <QCoreApplication>

QString UiText(const char* text) {
    return QCoreApplication::translate(kProgramTextContext, text);
}

QString UiText(const std::string& text) {
    return UiText(text.c_str());
}

QString UiText(const QString& text) {
    return UiText(text.toUtf8().constData());
}

std::string UiTextUtf8(const std::string& text) {
    const QString shown = UiText(text);
    // Bytes that are not UTF-8 (a path of the system) would not survive the round trip.
    return shown == QString::fromUtf8(text) ? text : shown.toStdString();
}
