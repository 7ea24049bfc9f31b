#include "DialogBuilder.h"

#include "AppIcon.h"
#include "UiText.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextDocument>

namespace {

bool Has(unsigned style, unsigned flag) {
    return (style & flag) != 0;
}

// Read-only edits take the dialog's background, so they do not look like input fields.
void ShowAsReadOnly(QWidget& edit) {
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit.setPalette(palette);
}

QWidget* CreateEdit(const ControlTemplate& control, QWidget* parent) {
    if (Has(control.style, kMultiLine)) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setReadOnly(Has(control.style, kReadOnly));
        if (edit->isReadOnly()) {
            ShowAsReadOnly(*edit);
        }
        // A multi-line edit wraps its lines unless it scrolls horizontally.
        const bool noWrap = Has(control.style, kAutoHScroll) || Has(control.style, kHScroll);
        edit->setLineWrapMode(noWrap ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
        edit->setVerticalScrollBarPolicy(Has(control.style, kVScroll) ? Qt::ScrollBarAlwaysOn
                                                                      : Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Has(control.style, kHScroll) ? Qt::ScrollBarAlwaysOn
                                                                        : Qt::ScrollBarAlwaysOff);
        edit->setTabChangesFocus(true);
        // The platform's edit leaves about a pixel around its text, not Qt's four: the details
        // beside the readout need all three of their lines in their field.
        edit->document()->setDocumentMargin(1);
        if (!Has(control.style, kBorder)) {
            edit->setFrameShape(QFrame::NoFrame);
        }
        return edit;
    }
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(Has(control.style, kReadOnly));
    if (edit->isReadOnly()) {
        ShowAsReadOnly(*edit);
    }
    edit->setFrame(Has(control.style, kBorder));
    return edit;
}

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent) {
    const QString caption = UiText(control.caption);
    switch (control.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto* button = new QPushButton(caption, parent);
        // The focused push button takes Enter, as in every dialog of the platform.
        button->setAutoDefault(true);
        button->setDefault(control.kind == ControlKind::DefPushButton);
        return button;
    }
    case ControlKind::RadioButton: {
        // Groups are explicit (see Build()), and within a group the group decides. Auto-exclusive
        // all the same: that is what makes accessibility announce a radio button, not a check box.
        auto* button = new QRadioButton(caption, parent);
        button->setAutoExclusive(true);
        return button;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(caption, parent);
    case ControlKind::Edit:
        return CreateEdit(control, parent);
    case ControlKind::GroupBox:
        return new QGroupBox(caption, parent);
    case ControlKind::Icon: {
        auto* label = new QLabel(parent);
        label->setPixmap(DialogBuilder::AppIconPixmap(32));
        return label;
    }
    case ControlKind::Static:
        break;
    }
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Without a buddy a label shows '&' as it is; with one, '&' marks the mnemonic.
    label->setText(caption);
    return label;
}

Qt::FocusPolicy FocusPolicyFor(const ControlTemplate& control) {
    switch (control.kind) {
    case ControlKind::Static:
    case ControlKind::GroupBox:
    case ControlKind::Icon:
        return Qt::NoFocus;
    case ControlKind::RadioButton:
        // Radio buttons without a tab stop stay reachable from the keyboard.
        return Qt::StrongFocus;
    default:
        return Has(control.style, kTabStop) ? Qt::StrongFocus : Qt::ClickFocus;
    }
}

// Breaks a caption into lines at blanks so that each fits the width; a word longer than the
// width keeps a line of its own.
QString WrapToWidth(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.isEmpty()) {
        lines.push_back(line);
    }
    return lines.join(QLatin1Char('\n'));
}

// A check box or radio button caption that the template lets run over several lines; Qt's
// buttons do not wrap by themselves.
void WrapButtonCaption(QAbstractButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    const QStyle* style = button.style();
    const bool radio = qobject_cast<QRadioButton*>(&button) != nullptr;
    const int indicator =
        style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth,
                           &option, &button) +
        style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing
                                 : QStyle::PM_CheckBoxLabelSpacing,
                           &option, &button);
    button.setText(WrapToWidth(button.text(), button.fontMetrics(), button.width() - indicator));
}

QString StripLabelPunctuation(QString text) {
    text = text.trimmed();
    while (text.endsWith(':')) {
        text.chop(1);
        text = text.trimmed();
    }
    return text;
}

} // namespace

QString AccessibleCaption(const char* caption) {
    const QString text = UiText(caption);
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                result += '&';
                ++i;
            }
            continue;
        }
        result += text[i];
    }
    return result;
}

QPixmap DialogBuilder::AppIconPixmap(int size) {
    return QPixmap(size <= 16 ? kAppIcon16 : kAppIcon32);
}

QIcon DialogBuilder::AppIcon() {
    QIcon icon;
    icon.addPixmap(AppIconPixmap(32));
    icon.addPixmap(AppIconPixmap(16));
    return icon;
}

DialogBuilder::Result DialogBuilder::Build(const DialogTemplate& dialogTemplate, QDialog& window) {
    QFont font(QString::fromUtf8(dialogTemplate.fontFace), dialogTemplate.fontPoints);
    font.setStyleHint(QFont::SansSerif);
    window.setFont(font);
    window.setWindowTitle(UiText(dialogTemplate.caption));

    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if (Has(dialogTemplate.style, kDlgCaption)) {
        flags |= Qt::WindowTitleHint;
    }
    if (Has(dialogTemplate.style, kDlgSysMenu)) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    window.setWindowFlags(flags);

    Result result;
    result.units = DialogBaseUnits::ForFont(font);
    window.setFixedSize(result.units.ToPixelsX(dialogTemplate.cx),
                        result.units.ToPixelsY(dialogTemplate.cy));

    QButtonGroup* radioGroup = nullptr;
    QWidget* previousTabStop = nullptr;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = CreateControl(control, &window);
        widget->setGeometry(result.units.ToPixels(control.x, control.y, control.cx, control.cy));
        widget->setProperty("controlId", control.id);
        widget->setObjectName(QStringLiteral("control_%1").arg(control.id));
        widget->setFocusPolicy(FocusPolicyFor(control));
        widget->setEnabled(!Has(control.style, kDisabled));
        widget->setAccessibleName(control.accessibleName ? UiText(control.accessibleName)
                                                         : AccessibleCaption(control.caption));
        if ((control.kind == ControlKind::CheckBox || control.kind == ControlKind::RadioButton) &&
            Has(control.style, kMultiLine)) {
            WrapButtonCaption(*static_cast<QAbstractButton*>(widget));
        }

        if (control.kind == ControlKind::RadioButton) {
            if (radioGroup == nullptr || Has(control.style, kGroup)) {
                radioGroup = new QButtonGroup(&window);
                radioGroup->setExclusive(true);
            }
            radioGroup->addButton(static_cast<QRadioButton*>(widget));
        } else {
            radioGroup = nullptr;
        }
        if (control.kind == ControlKind::GroupBox) {
            widget->lower(); // a frame drawn behind the controls it surrounds
        }
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previousTabStop != nullptr) {
                QWidget::setTabOrder(previousTabStop, widget);
            }
            previousTabStop = widget;
        }
        result.controls.push_back({&control, widget});
    }

    // Labels name the controls they stand for, for screen readers and mnemonics alike.
    for (const BuiltControl& built : result.controls) {
        if (built.source->labelFor == 0) {
            continue;
        }
        for (const BuiltControl& target : result.controls) {
            if (target.source->id == built.source->labelFor) {
                static_cast<QLabel*>(built.widget)->setBuddy(target.widget);
                // A name of the control's own is more telling than its label.
                if (target.source->accessibleName == nullptr) {
                    target.widget->setAccessibleName(
                        StripLabelPunctuation(AccessibleCaption(built.source->caption)));
                }
            }
        }
    }
    return result;
}
