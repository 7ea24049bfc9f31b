#include "DialogWindow.h"

#include "CDialog.h"
#include "ResourceIds.h"

#include <QTimerEvent>

QEvent::Type CommandEvent::EventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

DialogWindow::DialogWindow(CDialog& owner) : m_owner(owner) {}

void DialogWindow::StartTimer(unsigned id, unsigned milliseconds) {
    StopTimer(id);
    const int qtId = startTimer(static_cast<int>(milliseconds));
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
