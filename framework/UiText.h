#pragma once

#include <QString>

#include <string>

// The context in which the program asks the application's translators for its own texts. They
// are asked by their Polish text alone, wherever that text was made.
inline constexpr const char* kProgramTextContext = "qal";

// A text of the program as the user reads it: in the program's language. Polish texts stay
// exactly as they are unless a translation of the program is installed.
QString UiText(const char* text);
QString UiText(const std::string& text);
QString UiText(const QString& text);
// For text that goes on as UTF-8 (the event log): the very bytes when nothing was translated.
std::string UiTextUtf8(const std::string& text);
