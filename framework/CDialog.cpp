#include "CDialog.h"

#include "DataExchange.h"
#include "DialogWindow.h"
#include "ResourceIds.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWindow>

namespace {

QString ToDisplayText(const std::string& text) {
    QString display = QString::fromStdString(text);
    display.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return display;
}

std::string FromDisplayText(QString text) {
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text.toStdString();
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
        // The first control that takes the focus from the keyboard gets it.
        for (const BuiltControl& control : m_controls) {
            if (control.widget->isEnabled() && (control.widget->focusPolicy() & Qt::TabFocus)) {
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
        textEdit->setPlainText(ToDisplayText(text));
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
