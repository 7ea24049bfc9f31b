#include "WireTrace.h"

#include <algorithm>
#include <chrono>
#include <cstring>

void CWireTrace::Listen(bool on) {
    if (on && !m_ring) {
        m_ring = std::make_unique<WireRecord[]>(m_capacity);
        m_published.store(m_ring.get(), std::memory_order_release);
    }
    m_listening.store(on, std::memory_order_release);
}

void CWireTrace::Record(WireEvent event, const std::uint8_t* bytes, std::size_t size,
                        FrameDrop drop) {
    WireRecord* ring = m_published.load(std::memory_order_acquire);
    if (ring == nullptr) {
        return; // nobody has ever listened
    }
    const std::uint64_t written = m_written.load(std::memory_order_relaxed); // only we write it
    if (written - m_read.load(std::memory_order_acquire) >= m_capacity) {
        m_lost.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    WireRecord& record = ring[written % m_capacity];
    record.timeUs = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count();
    record.event = event;
    record.drop = drop;
    record.size = static_cast<std::uint8_t>(std::min(size, WireRecord::kMaxBytes));
    if (record.size > 0) {
        std::memcpy(record.bytes, bytes, record.size);
    }
    m_written.store(written + 1, std::memory_order_release);
}

std::size_t CWireTrace::Drain(std::vector<WireRecord>& out) {
    const WireRecord* ring = m_ring.get();
    if (ring == nullptr) {
        return 0;
    }
    const std::uint64_t written = m_written.load(std::memory_order_acquire);
    std::uint64_t read = m_read.load(std::memory_order_relaxed); // only we write it
    const std::size_t count = static_cast<std::size_t>(written - read);
    out.reserve(out.size() + count);
    for (; read < written; ++read) {
        out.push_back(ring[read % m_capacity]);
    }
    m_read.store(read, std::memory_order_release); // the slots may be written again
    return count;
}
