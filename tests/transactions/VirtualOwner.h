#pragma once

#include "CQueue.h"
#include "MeasurementReadout.h"
#include "TimerTable.h"

#include <map>
#include <string>
#include <vector>

// The main window as the queue and the readout see it, on a virtual clock: timers fire when
// the test advances time, posted commands wait until the test delivers them, and what goes to
// the device, the log and the readout fields is recorded.
class VirtualOwner : public IQueueOwner, public IReadoutOwner, public ITimerBackend {
public:
    VirtualOwner() : timers(*this), queue(*this), readout(*this) {}

    // Moves the clock on, firing due timers in order, and delivers posted commands after each.
    void Advance(unsigned milliseconds);
    // Delivers the commands posted so far (and those they post), as the window's loop would.
    void DeliverPosted();
    // A message from the device, delivered as the link controller hands it over.
    void Receive(const LinkMessage& message);

    // IQueueOwner and IReadoutOwner
    void StartTimer(void* object, TimerFn callback, unsigned elapse, int parameter) override {
        timers.StartTimer(object, callback, elapse, parameter);
    }
    void StopTimers(void* object, TimerFn callback, int parameter) override {
        timers.StopTimers(object, callback, parameter);
    }
    bool IsTimerPending(void* object, TimerFn callback, int parameter) override {
        return timers.IsTimerPending(object, callback, parameter);
    }
    void PostCommand(unsigned id) override { posted.push_back(id); }
    void AppendLog(const std::string& text, bool newLine) override {
        log.push_back((newLine ? "\n" : "") + text);
    }
    void PutForDevice(const LinkMessage& message) override { sent.push_back({now, message}); }
    void SubmitRequest(std::uint8_t address, std::uint8_t command, const std::uint8_t* payload,
                       std::uint8_t length, void* requester, CompletionFn callback) override {
        queue.AddRequest(address, command, payload, length, requester, callback);
    }
    void SetSpeedText(const std::string& text) override { speedText = text; }
    void SetReadInfoText(const std::string& text) override { readInfoText = text; }
    void EnableModelFunctions() override { modelFunctionsEnabled = true; }
    std::uint8_t DeviceAddress() const override { return 31; }

    // ITimerBackend
    void SetWindowTimer(unsigned id, unsigned milliseconds) override {
        due[id] = now + milliseconds;
    }
    void KillWindowTimer(unsigned id) override { due.erase(id); }

    struct Sent {
        unsigned at;
        LinkMessage message;
    };

    unsigned now = 0;
    std::map<unsigned, unsigned> due; // window timer id -> when it ticks
    std::vector<unsigned> posted;
    std::vector<Sent> sent;
    std::vector<std::string> log;
    std::string speedText;
    std::string readInfoText;
    bool modelFunctionsEnabled = false;

    CTimerTable timers;
    CQueue queue;
    CMeasurementReadout readout;
};
