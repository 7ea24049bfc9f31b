#include "ProgramTranslator.h"

#include "ProgramTexts.h"
#include "UiText.h"

#include <algorithm>

bool CProgramTranslator::Load(const QString& file, std::span<const ProgramText> texts) {
    if (!m_file.load(file)) {
        return false;
    }
    for (const ProgramText& text : texts) {
        const QString translation = m_file.translate(text.context, text.text);
        if (translation.isEmpty()) {
            continue; // not translated: shown as it is
        }
        const QString polish = QString::fromUtf8(text.text);
        const bool name = std::string_view(text.context) == kNamesContext;
        m_exact.insert(polish, translation);
        if (name) {
            m_names.insert(polish, translation);
        }
        CTextPattern pattern(text.text);
        if (pattern.HasPlaceholders()) {
            const Pattern entry{std::move(pattern), translation.toStdString(),
                                TranslatesNamesInValues(text.context)};
            if (name) {
                m_namePatterns.push_back(entry);
            }
            m_patterns.push_back(entry);
        }
    }
    // "Odpowiada: %1, wersja %2 (%3 bit/s)" before "%1, wersja %2", which would match it too.
    const auto moreTelling = [](const Pattern& a, const Pattern& b) {
        return a.polish.PlainLength() > b.polish.PlainLength();
    };
    std::stable_sort(m_patterns.begin(), m_patterns.end(), moreTelling);
    std::stable_sort(m_namePatterns.begin(), m_namePatterns.end(), moreTelling);
    return true;
}

QString CProgramTranslator::translate(const char* context, const char* sourceText,
                                      const char* disambiguation, int n) const {
    (void)disambiguation; // the program's texts are told apart by their Polish text alone
    (void)n;
    if (context == nullptr || sourceText == nullptr ||
        std::string_view(context) != kProgramTextContext) {
        return {}; // Qt's own texts and others: not the program's
    }
    return Translate(QString::fromUtf8(sourceText));
}

QString CProgramTranslator::Translate(const QString& text) const {
    if (text.isEmpty()) {
        return {};
    }
    if (!text.contains(QLatin1Char('\n'))) {
        return TranslateLine(text);
    }
    const auto whole = m_exact.constFind(text);
    if (whole != m_exact.constEnd()) {
        return *whole;
    }
    // Line by line, the line breaks (CR LF or LF) kept as they are.
    QString result;
    bool translated = false;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        qsizetype lineEnd = end < 0 ? text.size() : end;
        if (end >= 0 && lineEnd > start && text[lineEnd - 1] == QLatin1Char('\r')) {
            --lineEnd;
        }
        const QString line = text.mid(start, lineEnd - start);
        const QString shown = line.isEmpty() ? QString() : TranslateLine(line);
        translated = translated || !shown.isNull();
        result += shown.isNull() ? line : shown;
        if (end < 0) {
            break;
        }
        result += text.mid(lineEnd, end + 1 - lineEnd);
        start = end + 1;
    }
    return translated ? result : QString();
}

QString CProgramTranslator::TranslateLine(const QString& line) const {
    const auto exact = m_exact.constFind(line);
    if (exact != m_exact.constEnd()) {
        return *exact;
    }
    return TranslateByPattern(line, false);
}

QString CProgramTranslator::TranslateByPattern(const QString& line, bool namesOnly) const {
    const std::vector<Pattern>& patterns = namesOnly ? m_namePatterns : m_patterns;
    if (patterns.empty()) {
        return {};
    }
    const std::string text = line.toStdString();
    for (const Pattern& pattern : patterns) {
        if (!std::string_view(text).starts_with(pattern.polish.Prefix())) {
            continue;
        }
        std::optional<std::vector<std::string>> values = pattern.polish.Match(text);
        if (!values) {
            continue;
        }
        if (pattern.translateNames) {
            for (std::string& value : *values) {
                value = TranslateValue(value);
            }
        }
        return QString::fromStdString(FillPattern(pattern.translation, *values));
    }
    return {};
}

std::string CProgramTranslator::TranslateValue(const std::string& value) const {
    const QString text = QString::fromStdString(value);
    const auto name = m_names.constFind(text);
    if (name != m_names.constEnd()) {
        return name->toStdString();
    }
    // A list of names: "konfiguracja QAL, konfiguracja wyjść".
    const QString separator = QStringLiteral(", ");
    if (text.contains(separator)) {
        QStringList items = text.split(separator);
        for (QString& item : items) {
            const auto found = m_names.constFind(item);
            if (found == m_names.constEnd()) {
                return value; // a value with a comma, not a list of names
            }
            item = *found;
        }
        return items.join(separator).toStdString();
    }
    const QString byPattern = TranslateByPattern(text, true);
    return byPattern.isNull() ? value : byPattern.toStdString();
}
