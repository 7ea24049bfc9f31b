#include "DialogWindow.h"

#include "CDialog.h"
#include "ResourceIds.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QTimerEvent>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include <chrono>

QEvent::Type CommandEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

DialogWindow::DialogWindow(CDialog& owner) : m_owner(owner) {}

void DialogWindow::StartTimer(unsigned id, unsigned milliseconds) {
    StopTimer(id);
    // Precise: a coarse timer may fire up to 5 % early, too early for a 1500 ms time-out.
    const int qtId = startTimer(std::chrono::milliseconds(milliseconds), Qt::PreciseTimer);
    if (qtId != 0) {
        m_timers[id] = qtId;
    }
}

void DialogWindow::StopTimer(unsigned id) {
    const auto it = m_timers.find(id);
    if (it != m_timers.end()) {
        killTimer(it->second);
        m_timers.erase(it);
    }
}

void DialogWindow::Finish(int result) {
    QDialog::done(result);
}

// Enter on a dialog without a default button, and Esc or the close box, arrive as the commands
// OK and Cancel, so that a dialog (or whatever it routes commands to) decides what they do.
void DialogWindow::accept() {
    m_owner.OnCmdMsg(IDOK);
}

void DialogWindow::reject() {
    m_owner.OnCmdMsg(IDCANCEL);
}

// Enter clicks the focused push button, else the default one; a dialog without a default push
// button gets the command OK, so that it still ends through OnOK. A disabled default button
// makes Enter do nothing.
void DialogWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    if (focused != nullptr && focused->isEnabled() && focused->autoDefault()) {
        focused->click();
        return;
    }
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button->isDefault()) {
            if (button->isEnabled() && button->isVisible()) {
                button->click();
            }
            return;
        }
    }
    m_owner.OnCmdMsg(IDOK);
}

bool DialogWindow::event(QEvent* event) {
    if (event->type() == CommandEvent::EventType()) {
        m_owner.OnCmdMsg(static_cast<CommandEvent*>(event)->Id());
        return true;
    }
    return QDialog::event(event);
}

void DialogWindow::timerEvent(QTimerEvent* event) {
    for (const auto& [id, qtId] : m_timers) {
        if (qtId == event->timerId()) {
            const unsigned callerId = id; // the handler may kill the timer and its entry
            m_owner.OnTimer(callerId);
            return;
        }
    }
    QDialog::timerEvent(event);
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    m_owner.OnContextMenu(*event);
}

#ifdef Q_OS_WIN
bool DialogWindow::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
    const MSG* msg = static_cast<const MSG*>(message);
    // Commands from 0xF000 on are the system's own (move, size, close...).
    constexpr WPARAM kFirstSystemCommand = 0xF000;
    if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) < kFirstSystemCommand &&
        m_owner.OnSysCommand(static_cast<unsigned>(msg->wParam))) {
        *result = 0;
        return true;
    }
    if (msg->message == WM_INITMENUPOPUP && HIWORD(msg->lParam) != 0) {
        m_owner.OnInitSystemMenu();
    }
    return QDialog::nativeEvent(eventType, message, result);
}
#endif
