#include "WindowTexts.h"

#include "ProgramLanguage.h"
#include "ProgramTexts.h"
#include "ProgramTranslator.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableWidget>

namespace {

QString Shown(QString text) {
    // A mnemonic marker takes no room; "&&" is one '&'.
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

std::string Describe(const BuiltControl& control) {
    return "control " + std::to_string(control.source->id) + " \"" +
           Shown(control.widget->property("text").toString()).toStdString() + "\"";
}

// The lines a text needs at this width, wrapped at blanks as a label wraps it.
int LinesNeeded(const QFontMetrics& metrics, const QString& text, int width) {
    const QRect bounds =
        metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap | Qt::AlignLeft, text);
    return std::max(1, (bounds.height() + metrics.lineSpacing() / 2) / metrics.lineSpacing());
}

// The lines that fit into a height; a control of one line's height holds one.
int LinesAvailable(const QFontMetrics& metrics, int height) {
    return std::max(1, (height + metrics.lineSpacing() / 3) / metrics.lineSpacing());
}

int WidestWord(const QFontMetrics& metrics, const QString& text) {
    int widest = 0;
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (const QString& word : text.split(blanks, Qt::SkipEmptyParts)) {
        widest = std::max(widest, metrics.horizontalAdvance(word));
    }
    return widest;
}

void CheckText(const BuiltControl& control, std::vector<std::string>& problems) {
    QWidget& widget = *control.widget;
    const QFontMetrics metrics = widget.fontMetrics();
    const int width = widget.width();
    const auto tooWide = [&](int needed) {
        problems.push_back(Describe(control) + " needs " + std::to_string(needed) +
                           " pixels, has " + std::to_string(width));
    };
    if (auto* label = qobject_cast<QLabel*>(&widget)) {
        const QString text = Shown(label->text());
        if (text.isEmpty()) {
            return;
        }
        if (WidestWord(metrics, text) > width) {
            tooWide(WidestWord(metrics, text));
        } else if (LinesNeeded(metrics, text, width) > LinesAvailable(metrics, widget.height())) {
            problems.push_back(
                Describe(control) + " needs " + std::to_string(LinesNeeded(metrics, text, width)) +
                " lines, has room for " + std::to_string(LinesAvailable(metrics, widget.height())));
        }
        return;
    }
    if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
        const int needed = metrics.horizontalAdvance(Shown(group->title())) + 2 * metrics.height();
        if (needed > width) {
            tooWide(needed);
        }
        return;
    }
    auto* button = qobject_cast<QAbstractButton*>(&widget);
    if (button == nullptr) {
        return;
    }
    const QStringList lines = Shown(button->text()).split(QLatin1Char('\n'));
    int widest = 0;
    for (const QString& line : lines) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    int needed = widest;
    if (qobject_cast<QPushButton*>(button) != nullptr) {
        // Within the button's frame: the text is centred there and clipped at the frame.
        needed += 2 * widget.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &widget);
    } else {
        const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
        QStyleOptionButton option;
        option.initFrom(button);
        needed += widget.style()->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth
                                                    : QStyle::PM_IndicatorWidth,
                                              &option, button) +
                  widget.style()->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing
                                                    : QStyle::PM_CheckBoxLabelSpacing,
                                              &option, button);
    }
    if (needed > width) {
        tooWide(needed);
    } else if (static_cast<int>(lines.size()) > LinesAvailable(metrics, widget.height())) {
        problems.push_back(Describe(control) + " needs " + std::to_string(lines.size()) +
                           " lines, has room for " +
                           std::to_string(LinesAvailable(metrics, widget.height())));
    }
}

// The Polish words of the program that none of its English texts use.
QSet<QString> PolishOnlyWords() {
    CProgramTranslator translator;
    (void)translator.Load(ProgramTranslationFile(), ProgramTexts()); // no words: nothing found
    static const QRegularExpression nonLetters(QStringLiteral("[^\\p{L}]+"));
    QSet<QString> polish;
    QSet<QString> english;
    for (const ProgramText& text : ProgramTexts()) {
        const QString source = QString::fromUtf8(text.text);
        for (const QString& word : source.toLower().split(nonLetters, Qt::SkipEmptyParts)) {
            polish.insert(word);
        }
        for (const QString& word :
             translator.Translate(source).toLower().split(nonLetters, Qt::SkipEmptyParts)) {
            english.insert(word);
        }
    }
    return polish - english;
}

} // namespace

std::vector<std::string> FitProblems(const CDialog& dialog) {
    std::vector<std::string> problems;
    const std::vector<BuiltControl>& controls = dialog.Controls();
    for (const BuiltControl& control : controls) {
        CheckText(control, problems);
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const BuiltControl& a = controls[i];
            const BuiltControl& b = controls[j];
            if (qobject_cast<QGroupBox*>(a.widget) != nullptr ||
                qobject_cast<QGroupBox*>(b.widget) != nullptr) {
                continue;
            }
            if (a.widget->geometry().intersects(b.widget->geometry())) {
                problems.push_back(Describe(a) + " overlaps " + Describe(b));
            }
        }
    }
    return problems;
}

QStringList WindowTexts(const QWidget& window) {
    QStringList texts = {window.windowTitle(), window.accessibleName(),
                         window.accessibleDescription()};
    QList<const QWidget*> widgets = {&window};
    for (const QWidget* child : window.findChildren<QWidget*>()) {
        widgets.push_back(child);
    }
    for (const QWidget* widget : widgets) {
        texts << widget->accessibleName() << widget->accessibleDescription() << widget->toolTip();
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            texts << label->text();
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            texts << button->text();
        } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
            texts << group->title();
        } else if (const auto* line = qobject_cast<const QLineEdit*>(widget)) {
            texts << line->text();
        } else if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) {
            texts << edit->toPlainText().split(QLatin1Char('\n'));
        } else if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
            for (int i = 0; i < combo->count(); ++i) {
                texts << combo->itemText(i);
            }
        } else if (const auto* view = qobject_cast<const QAbstractItemView*>(widget)) {
            const QAbstractItemModel* model = view->model();
            for (int column = 0; model != nullptr && column < model->columnCount(); ++column) {
                texts << model->headerData(column, Qt::Horizontal).toString();
                for (int row = 0; row < model->rowCount(); ++row) {
                    texts << model->index(row, column).data().toString();
                }
            }
        }
    }
    texts.removeAll(QString());
    return texts;
}

QStringList MenuTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        texts.push_back(Shown(action->text()).section(QLatin1Char('\t'), 0, 0));
    }
    return texts;
}

bool LooksPolish(const QString& text) {
    static const QSet<QString> words = PolishOnlyWords();
    static const QRegularExpression letters(QStringLiteral("[ąćęłńóśźżĄĆĘŁŃÓŚŹŻ]"));
    static const QRegularExpression nonLetters(QStringLiteral("[^\\p{L}]+"));
    if (text.contains(QStringLiteral("Język / Language")) || text == QStringLiteral("Polski")) {
        return false; // the language item and dialog name both languages on purpose
    }
    if (text.contains(letters)) {
        return true;
    }
    for (const QString& word : text.toLower().split(nonLetters, Qt::SkipEmptyParts)) {
        // Single letters and pairs stand in dates, units and codes of either language.
        if (word.size() > 2 && words.contains(word)) {
            return true;
        }
    }
    return false;
}
