#include "NetSocket.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// While the wait for a lookup may be cancelled, it looks at the cancel this often.
constexpr int kCancelCheckMs = 20;

// What the lookup thread and the waiting caller share; whichever goes last frees it.
struct PendingLookup {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    Resolution result;
};

Resolution Failed(std::string reason) {
    Resolution failed;
    failed.error = std::move(reason);
    return failed;
}

} // namespace

Resolution NumericAddress(const std::string& host, int port) {
    return LookUpAddresses(host, port, true);
}

Resolution ResolveName(const std::string& host, int port, SteadyDeadline deadline,
                       const CancelCheck& cancelled) {
    Resolution numeric = NumericAddress(host, port);
    if (!numeric.addresses.empty()) {
        return numeric;
    }
    auto pending = std::make_shared<PendingLookup>();
    try {
        std::thread([pending, host, port] {
            Resolution result = LookUpAddresses(host, port, false);
            const std::lock_guard<std::mutex> guard(pending->lock);
            pending->result = std::move(result);
            pending->finished = true;
            pending->done.notify_all();
        }).detach(); // a lookup cannot be stopped: one given up on ends by itself
    } catch (const std::system_error& error) {
        return Failed(error.what());
    }
    std::unique_lock<std::mutex> guard(pending->lock);
    while (!pending->finished) {
        if (cancelled && cancelled()) {
            return Failed("cancelled");
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return Failed("name lookup timed out");
        }
        pending->done.wait_for(guard, std::min(left, std::chrono::milliseconds(kCancelCheckMs)));
    }
    return std::move(pending->result);
}
