#pragma once

#include <atomic>
#include <functional>
#include <memory>

// Keeps at most one notification outstanding: the worker may put thousands of entries a second,
// and one posted command each would pile up in the window's event queue faster than it drains.
// The poster asks Arm() and posts only when it says so; the handler calls Open() before it
// takes what waits, so that an entry put after the take posts again and none is left unseen.
class CNotifyGate {
public:
    // True when nothing was outstanding: the caller posts.
    bool Arm() { return !m_armed.exchange(true); }
    // The outstanding notification is being handled.
    void Open() { m_armed.store(false); }

private:
    std::atomic<bool> m_armed{false};
};

// A notifier that posts through post only while the gate is open. Safe from any thread.
inline std::function<void()> GatedNotifier(std::shared_ptr<CNotifyGate> gate,
                                           std::function<void()> post) {
    if (!post) {
        return {};
    }
    return [gate = std::move(gate), post = std::move(post)] {
        if (gate->Arm()) {
            post();
        }
    };
}
