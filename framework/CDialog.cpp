#include "CDialog.h"

#include "DataExchange.h"
#include "DialogWindow.h"
#include "ResourceIds.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QWindow>

#include <algorithm>

namespace {

// A multi-line edit breaks lines only at CR LF. Qt breaks them at a lone CR or LF too, so those
// are shown as their control pictures and turned back when the text is read.
constexpr char16_t kCrPicture = u'\u240D';
constexpr char16_t kLfPicture = u'\u240A';

QString ToDisplayText(const std::string& text) {
    const QString source = QString::fromStdString(text);
    QString display;
    display.reserve(source.size());
    for (qsizetype i = 0; i < source.size(); ++i) {
        const QChar c = source[i];
        if (c == u'\r' && i + 1 < source.size() && source[i + 1] == u'\n') {
            display += u'\n';
            ++i;
        } else if (c == u'\r') {
            display += QChar(kCrPicture);
        } else if (c == u'\n') {
            display += QChar(kLfPicture);
        } else {
            display += c;
        }
    }
    return display;
}

std::string FromDisplayText(const QString& display) {
    QString text;
    text.reserve(display.size() + display.count(u'\n'));
    for (const QChar c : display) {
        if (c == u'\n') {
            text += QStringLiteral("\r\n");
        } else if (c == QChar(kCrPicture)) {
            text += u'\r';
        } else if (c == QChar(kLfPicture)) {
            text += u'\n';
        } else {
            text += c;
        }
    }
    return text.toStdString();
}

// A read-only field that the program rewrites often (the reading's details, once a second or
// faster) differs from its last text in a few characters. Replacing only those lays out one
// line instead of building the whole document again. Like a new text, it leaves nothing to
// undo and the document unmodified.
void ReplaceChangedText(QPlainTextEdit& edit, const QString& text) {
    QTextDocument& document = *edit.document();
    const QString old = document.toPlainText(); // one position per character or line break
    if (old == text) {
        return;
    }
    const qsizetype shorter = std::min(old.size(), text.size());
    qsizetype prefix = 0;
    while (prefix < shorter && old[prefix] == text[prefix]) {
        ++prefix;
    }
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           old[old.size() - 1 - suffix] == text[text.size() - 1 - suffix]) {
        ++suffix;
    }
    // Never between the halves of a surrogate pair.
    if (prefix > 0 && old[prefix - 1].isHighSurrogate()) {
        --prefix;
    }
    if (suffix > 0 && old[old.size() - suffix].isLowSurrogate()) {
        --suffix;
    }
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.setPosition(static_cast<int>(prefix));
    cursor.setPosition(static_cast<int>(old.size() - suffix), QTextCursor::KeepAnchor);
    cursor.insertText(text.mid(prefix, text.size() - prefix - suffix));
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
}

} // namespace

CDialog::CDialog(int templateId) : m_templateId(templateId) {}

// The window goes without OnDestroy here: a derived class is already gone by now.
CDialog::~CDialog() = default;

QDialog* CDialog::GetWindow() const {
    return m_window.get();
}

QWidget* CDialog::GetDlgItem(int id) const {
    for (const BuiltControl& control : m_controls) {
        if (control.source->id == id) {
            return control.widget;
        }
    }
    return nullptr;
}

bool CDialog::BuildWindow() {
    const DialogTemplate* dialogTemplate = FindDialogTemplate(m_templateId);
    if (dialogTemplate == nullptr || m_window) {
        return false;
    }
    m_window = std::make_unique<DialogWindow>(*this);
    m_controls = DialogBuilder::Build(*dialogTemplate, *m_window).controls;
    for (const BuiltControl& control : m_controls) {
        if (auto* button = qobject_cast<QAbstractButton*>(control.widget)) {
            const auto id = static_cast<unsigned>(control.source->id);
            QObject::connect(button, &QAbstractButton::clicked, m_window.get(),
                             [this, id] { OnCmdMsg(id); });
        }
    }
    // A dialog opened over another window stays in front of it.
    if (QWidget* active = QApplication::activeWindow(); active && active != m_window.get()) {
        m_window->winId();
        if (m_window->windowHandle() && active->windowHandle()) {
            m_window->windowHandle()->setTransientParent(active->windowHandle());
        }
    }
    OnWindowBuilt();
    return true;
}

int CDialog::DoModal() {
    if (!BuildWindow()) {
        return -1;
    }
    if (OnInitDialog()) {
        // The first control with a tab stop in its template gets the focus. Radio buttons take
        // Tab without one, but opening on them would let a Space change the choice unseen.
        for (const BuiltControl& control : m_controls) {
            if ((control.source->style & kTabStop) != 0 && control.widget->isEnabled()) {
                control.widget->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
    }
    // OnInitDialog may have ended the dialog already.
    const int result = m_window->result() == 0 ? m_window->exec() : m_window->result();
    DestroyWindow();
    return result == IDOK ? IDOK : IDCANCEL;
}

bool CDialog::Create() {
    if (!BuildWindow()) {
        return false;
    }
    OnInitDialog();
    m_window->show();
    return true;
}

void CDialog::EndDialog(int result) {
    if (m_window) {
        m_window->Finish(result);
    }
}

void CDialog::DestroyWindow() {
    if (!m_window) {
        return;
    }
    OnDestroy();
    m_window->hide();
    m_controls.clear();
    m_window.reset();
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

void CDialog::DoDataExchange(CDataExchange& dx) {
    (void)dx;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (UpdateData(true)) {
        EndDialog(IDOK);
    }
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool CDialog::OnCmdMsg(unsigned id) {
    switch (id) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}

void CDialog::SetDlgItemText(int id, const std::string& text) {
    QWidget* widget = GetDlgItem(id);
    if (auto* lineEdit = qobject_cast<QLineEdit*>(widget)) {
        lineEdit->setText(QString::fromStdString(text));
        lineEdit->setCursorPosition(0);
    } else if (auto* textEdit = qobject_cast<QPlainTextEdit*>(widget)) {
        // Only a short field: editing a long document in place (the event log after a clear)
        // keeps the removed text in the document's buffer until it compacts.
        constexpr qsizetype kInPlaceLimit = 1024;
        const QString display = ToDisplayText(text);
        if (textEdit->isReadOnly() && display.size() <= kInPlaceLimit &&
            textEdit->document()->characterCount() <= kInPlaceLimit) {
            ReplaceChangedText(*textEdit, display);
        } else {
            textEdit->setPlainText(display); // the user's cursor starts over
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(QString::fromStdString(text));
    }
}

std::string CDialog::GetDlgItemText(int id) const {
    QWidget* widget = GetDlgItem(id);
    if (auto* lineEdit = qobject_cast<QLineEdit*>(widget)) {
        return lineEdit->text().toStdString();
    }
    if (auto* textEdit = qobject_cast<QPlainTextEdit*>(widget)) {
        return FromDisplayText(textEdit->toPlainText());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text().toStdString();
    }
    return {};
}

void CDialog::AppendDlgItemText(int id, const std::string& text) {
    if (auto* textEdit = qobject_cast<QPlainTextEdit*>(GetDlgItem(id))) {
        QTextCursor cursor(textEdit->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(ToDisplayText(text));
    }
}

void CDialog::EnableDlgItem(int id, bool enable) {
    if (QWidget* widget = GetDlgItem(id)) {
        widget->setEnabled(enable);
    }
}

bool CDialog::IsDlgItemEnabled(int id) const {
    const QWidget* widget = GetDlgItem(id);
    return widget != nullptr && widget->isEnabled();
}

void CDialog::PostCommand(unsigned id) {
    if (m_window) {
        // The event queue owns the event from here on.
        QCoreApplication::postEvent(m_window.get(), new CommandEvent(id));
    }
}

std::function<void()> CDialog::CommandPoster(unsigned id) const {
    if (!m_window) {
        return {};
    }
    // postEvent is thread-safe; the event queue owns the event from there on.
    return [window = m_window.get(), id] {
        QCoreApplication::postEvent(window, new CommandEvent(id));
    };
}

void CDialog::SetTimer(unsigned id, unsigned milliseconds) {
    if (m_window) {
        m_window->StartTimer(id, milliseconds);
    }
}

void CDialog::KillTimer(unsigned id) {
    if (m_window) {
        m_window->StopTimer(id);
    }
}
