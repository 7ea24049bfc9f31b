#pragma once

#include <optional>
#include <string>

// The C library's local time zone set to a named zone for a test's scope, and back after it.
// Only where the system has the zone's data (POSIX with tzdata): Available() says whether.
class CScopedTimeZone {
public:
    explicit CScopedTimeZone(const char* zone);
    ~CScopedTimeZone();
    CScopedTimeZone(const CScopedTimeZone&) = delete;
    CScopedTimeZone& operator=(const CScopedTimeZone&) = delete;

    bool Available() const { return m_bAvailable; }

private:
    bool m_bAvailable = false;
    std::optional<std::string> m_saved; // TZ before; none: it was not set
};
