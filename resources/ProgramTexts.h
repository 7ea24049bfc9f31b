#pragma once

#include <span>

// One text the program shows, in Polish, with the group translators find it under. %1 to %99
// stand for values put in when it is shown (numbers, paths, device texts), which no translation
// changes.
struct ProgramText {
    const char* context;
    const char* text; // UTF-8
};

// Marks a text for Qt's lupdate, which reads it as QT_TRANSLATE_NOOP; the text stays as it is.
#define QAL_TEXT(context, text)                                                                    \
    ProgramText {                                                                                  \
        context, text                                                                              \
    }

// The group of names (records, fields, commands, lists of them) that are translated also where
// they stand as a value in another text.
inline constexpr const char* kNamesContext = "Names";

// Whether the values of this context's texts are translated where they are names. Elsewhere
// (the line monitor, the finder) a value may be a device text, which no translation changes.
bool TranslatesNamesInValues(const char* context);

// Every Polish text of the program that a translation replaces: the dialog templates, message
// boxes, event log lines, menus and tool windows. Texts that are the same in every language
// ("OK", "COM1") are not here.
std::span<const ProgramText> ProgramTexts();
