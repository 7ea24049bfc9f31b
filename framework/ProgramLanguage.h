#pragma once

#include "Language.h"
#include "ProgramTranslator.h"

#include <QString>
#include <QStringList>
#include <QTranslator>

#include <memory>
#include <span>
#include <vector>

struct ProgramText;

// The language of one run, put into the application while this object lives: for Polish, Qt's
// own texts (the buttons of message boxes, file dialogs, context menus) from Qt's Polish
// translation; for English, the program's own texts, whose Polish originals stay as they are.
// A translation that cannot be found never stops the program: the texts stay as they are, and
// Problem() says so in one line. Make it after the application object, and only one at a time.
class CProgramLanguage {
public:
    // qtFolders: where Qt's translation is looked for, in order (see QtTranslationFolders).
    CProgramLanguage(Language language, const QStringList& qtFolders);
    ~CProgramLanguage();
    CProgramLanguage(const CProgramLanguage&) = delete;
    CProgramLanguage& operator=(const CProgramLanguage&) = delete;

    Language GetLanguage() const { return m_language; }
    // Adds a translation into this language of texts the program writes in another (qal-cli's
    // English messages into Polish), found by their text like the program's own. False, and
    // Problem() says why, when it cannot be loaded.
    bool AddTranslation(const QString& file, std::span<const ProgramText> texts);
    // What could not be found, one line without a line break; empty when nothing is missing.
    const QString& Problem() const { return m_problem; }

private:
    Language m_language;
    QTranslator m_qt;
    CProgramTranslator m_program;
    bool m_qtInstalled = false;
    bool m_programInstalled = false;
    std::vector<std::unique_ptr<CProgramTranslator>> m_added;
    QString m_problem;
};

// Where Qt's own translations are looked for: the translations folder beside the program (a
// portable copy, Windows), then the folder where this Qt keeps them.
QStringList QtTranslationFolders(const QString& programDirectory);

// The compiled English translation of the program, built into it.
QString ProgramTranslationFile();
