#pragma once

#include <QDialog>
#include <QEvent>

#include <map>

class CDialog;

// The Qt window behind a CDialog: turns keys, clicks, posted commands and timer ticks into
// calls on its owner.
class DialogWindow : public QDialog {
    Q_OBJECT
public:
    explicit DialogWindow(CDialog& owner);

    void StartTimer(unsigned id, unsigned milliseconds);
    void StopTimer(unsigned id);
    // Ends the modal loop or hides the window, without going through OnOK/OnCancel again.
    void Finish(int result);

    void accept() override;
    void reject() override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
#ifdef Q_OS_WIN
    // System-menu commands of the dialog's own reach it through OnSysCommand.
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    CDialog& m_owner;
    std::map<unsigned, int> m_timers; // caller's id -> Qt's id
};

// A command posted to a dialog window.
class CommandEvent : public QEvent {
public:
    static QEvent::Type EventType();
    explicit CommandEvent(unsigned id) : QEvent(EventType()), m_id(id) {}
    unsigned Id() const { return m_id; }

private:
    unsigned m_id;
};
