#pragma once

#include "FrameEncoder.h"
#include "FrameParser.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// What one trace record says happened on the wire.
enum class WireEvent : std::uint8_t {
    Sent,     // a frame's wire text, as handed to one write of the port
    Received, // bytes as one read of the port gave them
    Frame,    // a frame the parser accepted: its decoded bytes, length byte to checksum
    Dropped,  // what the parser threw away (see FrameDrop): decoded bytes, or noise as read
    Note,     // what the line says of itself (a setting its server did not confirm), UTF-8
};

// One event of the wire with its monotonic time.
struct WireRecord {
    static constexpr std::size_t kMaxBytes = EncodedFrame::kMaxSize;

    std::int64_t timeUs = 0; // steady clock, microseconds
    WireEvent event = WireEvent::Received;
    FrameDrop drop = FrameDrop::None; // for Dropped
    std::uint8_t size = 0;
    std::uint8_t bytes[kMaxBytes] = {};
};

// The trace taken at the worker's two ends of the wire, for whoever listens (the line monitor).
// One writer (the worker) and one reader (the user-interface thread): the writer never waits and
// never allocates; when the reader falls behind, new records are counted as lost instead.
class CWireTrace {
public:
    static constexpr std::size_t kDefaultCapacity = 4096;

    explicit CWireTrace(std::size_t capacity = kDefaultCapacity) : m_capacity(capacity) {}
    CWireTrace(const CWireTrace&) = delete;
    CWireTrace& operator=(const CWireTrace&) = delete;

    // Reader: starts or stops recording. The ring is made at the first start and kept, so that a
    // worker that still records after a stop never touches freed memory.
    void Listen(bool on);
    // Writer: one relaxed load, all a transfer costs while nobody listens.
    bool Listening() const { return m_listening.load(std::memory_order_relaxed); }

    // Writer: records an event now; bytes beyond kMaxBytes are cut.
    void Record(WireEvent event, const std::uint8_t* bytes, std::size_t size,
                FrameDrop drop = FrameDrop::None);

    // Reader: appends the records waiting, oldest first, to out; returns how many.
    std::size_t Drain(std::vector<WireRecord>& out);
    // Records lost because the ring was full, since the trace was made.
    std::uint64_t Lost() const { return m_lost.load(std::memory_order_relaxed); }

private:
    const std::size_t m_capacity;
    std::unique_ptr<WireRecord[]> m_ring; // set once, before the first Listen(true) returns
    std::atomic<WireRecord*> m_published{nullptr}; // m_ring as the writer sees it
    std::atomic<bool> m_listening{false};
    std::atomic<std::uint64_t> m_written{0}; // records the writer has finished
    std::atomic<std::uint64_t> m_read{0};    // records the reader has taken
    std::atomic<std::uint64_t> m_lost{0};
};
