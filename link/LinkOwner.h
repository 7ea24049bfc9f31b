#pragma once

#include "EventLog.h"
#include "LineDefaults.h"
#include "LinkMessage.h"
#include "LinkState.h"
#include "SerialPort.h"

#include <functional>
#include <string>

// Where and how fast to connect: the port number ("COM%d"), its speed, and the directory where
// COM<n> links are looked up.
struct LinkSettings {
    int port = kDefaultPort;
    int baudRate = kDefaultBaudRate;
    std::string directory;
};

// What the link controller needs of the window that owns it.
class ILinkOwner : public virtual IEventLog {
public:
    // The link's state changed; the window shows it in its buttons.
    virtual void OnLinkStateChanged(LinkState state) = 0;
    virtual LinkSettings CurrentLinkSettings() const = 0;
    // A function the worker thread may call at any time while it runs: it posts command 101
    // to the window and returns at once.
    virtual std::function<void()> LinkNotifier() = 0;
    // Every message from the device that is not a link event, in the order it came.
    virtual void OnDeviceMessage(const LinkMessage& message) = 0;
    // 1 starts the live readout, 0 stops it and blanks its fields.
    virtual void PollMeasurement(int action) = 0;
    // The application message box with OK and the exclamation icon; returns when it is closed.
    virtual void ShowLinkMessage(const std::string& text) = 0;
    // Why the port could not be used or went away, told just before the message box that
    // reports it; the box itself does not say.
    virtual void ReportPortFailure(const PortFailure& failure) = 0;
    // Whether a line lost while connected is to be tried again ("Łącz ponownie
    // automatycznie"); off unless the owner says otherwise.
    virtual bool AutoReconnect() const { return false; }
    // A one-shot timer that calls the controller's OnRetryTimer after this many milliseconds;
    // 0 stops it. Only asked for while AutoReconnect holds.
    virtual void SetRetryTimer(unsigned milliseconds) { (void)milliseconds; }

protected:
    ~ILinkOwner() = default;
};
