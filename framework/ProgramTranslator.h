#pragma once

#include "TextPattern.h"

#include <QHash>
#include <QString>
#include <QTranslator>

#include <span>
#include <vector>

struct ProgramText;

// The program's texts in a second language, asked for by their Polish text alone (context
// kProgramTextContext), so that the places where texts reach the user need not know where a
// text was made. A text is found as a whole, else line by line; a line that is a text with values
// (a pattern of the catalogue, such as "Plik konfiguracyjny '%1' odczytano") is matched to its
// pattern and its values go into the translation. Values stay as they are, except the names of
// records and fields (context "Names"), which texts of some contexts translate where they stand
// as a value (see TranslatesNamesInValues).
class CProgramTranslator : public QTranslator {
public:
    // Loads a compiled translation and learns the texts of the catalogue from it. False when the
    // file could not be loaded.
    bool Load(const QString& file, std::span<const ProgramText> texts);

    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return m_exact.isEmpty(); }

    // The translation of a whole text; a null string when no part of it is a text of the program.
    QString Translate(const QString& text) const;

private:
    struct Pattern {
        CTextPattern polish;
        std::string translation; // UTF-8
        bool translateNames;     // values that are names are translated too
    };

    QString TranslateLine(const QString& line) const;
    QString TranslateByPattern(const QString& line, bool namesOnly) const;
    std::string TranslateValue(const std::string& value) const;

    QTranslator m_file;
    QHash<QString, QString> m_exact;
    QHash<QString, QString> m_names; // the exact texts of context "Names"
    std::vector<Pattern> m_patterns; // the most telling first
    std::vector<Pattern> m_namePatterns;
};
