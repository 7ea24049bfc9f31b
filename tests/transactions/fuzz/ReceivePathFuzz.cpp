// Fuzz target for the whole receive path on the Qt-free classes: line bytes -> frame parser ->
// list for the window -> link controller -> request queue -> live readout, with a stand-in for
// the worker thread, a fake main window and a virtual clock. The input is read as a script:
// bytes 0xF0..0xF7 are actions (the window's loop, time passing, the buttons, the worker
// ending), every other byte arrives on the line while a worker runs.
// Checked after every step: the link's state matches the worker, at most one command of each
// kind is posted and waiting, and no list exceeds its bound; and, once the window has taken
// everything, a link without worker shows no reading and polls no more.
#include "CComLink.h"
#include "CQueue.h"
#include "FrameParser.h"
#include "MeasurementReadout.h"
#include "NotifyGate.h"
#include "TimerTable.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <thread>
#include <utility>

namespace {

void Require(bool condition, int line = __builtin_LINE()) {
    if (!condition) {
        std::fprintf(stderr, "receive path check at line %d failed\n", line);
        std::abort();
    }
}

// The main window as the controller, the queue and the readout see it, on a virtual clock.
class FakeWindow : public ILinkOwner,
                   public IQueueOwner,
                   public IReadoutOwner,
                   public ITimerBackend {
public:
    FakeWindow() : timers(*this), queue(*this), readout(*this) {}

    // ILinkOwner
    void OnLinkStateChanged(LinkState state) override { shownState = state; }
    LinkSettings CurrentLinkSettings() const override { return {}; }
    std::function<void()> LinkNotifier() override {
        return GatedNotifier(gate, [this] { pendingLinkEvents.fetch_add(1); });
    }
    void OnDeviceMessage(const LinkMessage& message) override { queue.OnDeviceMessage(message); }
    void PollMeasurement(int action) override { readout.PollMeasurement(action); }
    void ShowLinkMessage(const std::string& text) override { (void)text; }
    void ReportPortFailure(const PortFailure& failure) override { (void)failure; }
    // IQueueOwner, IReadoutOwner
    void AppendLog(const std::string& text, bool newLine) override {
        (void)text;
        (void)newLine;
    }
    void PostCommand(unsigned id) override { posted.push_back(id); }
    void PutForDevice(const LinkMessage& message) override {
        if (link != nullptr) {
            (void)::PutForDevice(link->m_context, message); // refused while no worker runs
        }
    }
    void StartTimer(void* object, TimerFn callback, unsigned elapse, int parameter) override {
        timers.StartTimer(object, callback, elapse, parameter);
    }
    void StopTimers(void* object, TimerFn callback, int parameter) override {
        timers.StopTimers(object, callback, parameter);
    }
    bool IsTimerPending(void* object, TimerFn callback, int parameter) override {
        return timers.IsTimerPending(object, callback, parameter);
    }
    void SubmitRequest(std::uint8_t address, std::uint8_t command, const std::uint8_t* payload,
                       std::uint8_t length, void* requester, CompletionFn callback) override {
        queue.AddRequest(address, command, payload, length, requester, callback);
    }
    void SetSpeedText(const std::string& text) override { speedText = text; }
    void SetReadInfoText(const std::string& text) override { readInfoText = text; }
    void EnableModelFunctions() override {}
    std::uint8_t DeviceAddress() const override { return 31; }
    // ITimerBackend
    void SetWindowTimer(unsigned id, unsigned milliseconds) override {
        due[id] = now + milliseconds;
    }
    void KillWindowTimer(unsigned id) override { due.erase(id); }

    // One turn of the window's loop: what was posted, in order, including the link's
    // notification (whose gate opens before the controller takes).
    void DeliverPosted() {
        for (int turn = 0; turn < 8 && (!posted.empty() || pendingLinkEvents.load() > 0); ++turn) {
            if (pendingLinkEvents.load() > 0) {
                pendingLinkEvents.fetch_sub(1);
                gate->Open();
                (void)link->OnCmdMsg(ID_LINK_EVENT);
            }
            const std::deque<unsigned> now = std::exchange(posted, {});
            for (const unsigned id : now) {
                (void)queue.OnCmdMsg(id);
            }
        }
    }
    void Advance(unsigned milliseconds) {
        const unsigned end = now + milliseconds;
        for (;;) {
            auto next = std::min_element(due.begin(), due.end(), [](const auto& a, const auto& b) {
                return a.second < b.second || (a.second == b.second && a.first < b.first);
            });
            if (next == due.end() || next->second > end) {
                break;
            }
            now = next->second;
            timers.OnTimer(next->first);
        }
        now = end;
    }

    std::shared_ptr<CNotifyGate> gate = std::make_shared<CNotifyGate>();
    std::atomic<int> pendingLinkEvents{0};
    std::deque<unsigned> posted;
    LinkState shownState = LinkState::Disconnected;
    std::string speedText;
    std::string readInfoText;
    unsigned now = 0;
    std::map<unsigned, unsigned> due;
    CComLink* link = nullptr;
    CTimerTable timers;
    CQueue queue;
    CMeasurementReadout readout;
};

// The controller with the worker thread played by the target itself.
class ScriptedLink : public CComLink {
public:
    using CComLink::CComLink;
    bool launched = false;

protected:
    std::thread LaunchWorker() override {
        launched = true;
        return {};
    }
};

// The worker's side: its events and the frames it decodes, as LinkThreadProc puts them.
class ScriptedWorker {
public:
    explicit ScriptedWorker(LinkContext& context) : m_context(context), m_parser(m_store) {}

    bool Running() const { return m_running; }

    void Start(bool opens) {
        m_running = true;
        m_context.running.store(1);
        PutLinkEvent(m_context, kLinkEventOpening);
        if (opens) {
            PutLinkEvent(m_context, kLinkEventConnected);
        } else {
            End(2);
        }
    }
    void End(int result) {
        m_context.result.store(result);
        PutLinkEvent(m_context, kLinkEventEnded);
        m_running = false;
    }
    void Receive(std::uint8_t byte) {
        if (m_parser.Feed(static_cast<char>(byte))) {
            LinkMessage message;
            if (DecodeFrame(m_parser.Buffer(), message)) {
                PutForWindow(m_context, message);
            }
        }
    }
    // Sends what is queued for the device (nobody listens) and leaves on a stop request.
    void Pass() {
        LinkMessage outgoing;
        while (TakeForDevice(m_context, outgoing) == 1) {
        }
        if (m_running && m_context.stopRequested.load() == 1) {
            End(0);
        }
    }

private:
    LinkContext& m_context;
    std::uint8_t m_store[FrameParser::kCapacity] = {};
    FrameParser m_parser;
    bool m_running = false;
};

void CheckInvariants(FakeWindow& window, ScriptedLink& link, const ScriptedWorker& worker) {
    Require(link.State() == window.shownState);
    std::size_t waiting = 0;
    {
        const std::lock_guard<std::mutex> guard(link.m_context.lock);
        waiting = link.m_context.toWindow.Size();
    }
    Require(waiting <= CWindowList::kCapacity + 3);
    Require(window.pendingLinkEvents.load() <= 1);
    Require(std::count(window.posted.begin(), window.posted.end(), ID_REQUEST_DONE) <= 1);
    Require(window.queue.DoneCount() <= CQueue::kUnsolicitedCapacity + 2);
    Require(waiting == 0 || window.pendingLinkEvents.load() == 1); // nothing waits unannounced
    // Connected only with a worker behind it, whatever came from the line.
    if (link.State() == LinkState::Connected) {
        Require(link.m_context.running.load() == 1);
        Require(worker.Running() || waiting > 0);
    }
    if (waiting == 0 && window.pendingLinkEvents.load() == 0) {
        Require((link.State() == LinkState::Connected) == worker.Running());
        Require((link.m_context.running.load() == 1) == worker.Running());
        if (!worker.Running()) {
            Require(window.speedText == kNoSpeedText || window.speedText.empty());
            Require(!window.timers.IsTimerPending(
                &window.readout,
                &TimerThunk<CMeasurementReadout, &CMeasurementReadout::PollMeasurement>, 1));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FakeWindow window;
    ScriptedLink link(window);
    window.link = &link;
    ScriptedWorker worker(link.m_context);
    link.SetControlsDisconnected();
    window.queue.Reset();
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = data[i];
        switch (byte) {
        case 0xF0: // the window's loop takes a turn
            window.DeliverPosted();
            break;
        case 0xF1: // time passes
            window.Advance(250);
            window.DeliverPosted();
            break;
        case 0xF2: // "Połącz", the port opens
        case 0xF3: // "Połącz", the port cannot be opened
            if (link.State() == LinkState::Disconnected && !worker.Running()) {
                link.launched = false;
                link.OnConnect();
                if (link.launched) {
                    worker.Start(byte == 0xF2);
                }
            }
            break;
        case 0xF4: // "Rozłącz"
            if (link.State() == LinkState::Connected) {
                link.OnDisconnect();
            }
            break;
        case 0xF5: // the device goes away
            if (worker.Running()) {
                worker.End(2);
            }
            break;
        case 0xF6: // a request of the user's; the wait dialog lets one be open at a time
            if (window.queue.PendingCount() == 0) {
                window.SubmitRequest(31, 0x21, nullptr, 0, nullptr, nullptr);
            }
            break;
        case 0xF7: // the window takes everything, as it does once the line is quiet
            for (int turn = 0; turn < 1000 && window.pendingLinkEvents.load() > 0; ++turn) {
                window.DeliverPosted();
            }
            window.DeliverPosted();
            break;
        default:
            if (worker.Running()) {
                worker.Receive(byte);
            }
            break;
        }
        worker.Pass();
        CheckInvariants(window, link, worker);
    }
    return 0;
}
