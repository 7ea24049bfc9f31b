#include "TimeZone.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>

CScopedTimeZone::CScopedTimeZone(const char* zone) {
#if defined(_WIN32)
    (void)zone; // the C library there knows no zone names
#else
    std::error_code error;
    if (!std::filesystem::exists(std::string("/usr/share/zoneinfo/") + zone, error)) {
        return;
    }
    if (const char* tz = std::getenv("TZ")) {
        m_saved = tz;
    }
    m_bAvailable = ::setenv("TZ", zone, 1) == 0;
    ::tzset();
#endif
}

CScopedTimeZone::~CScopedTimeZone() {
#if !defined(_WIN32)
    if (!m_bAvailable) {
        return;
    }
    if (m_saved) {
        (void)::setenv("TZ", m_saved->c_str(), 1);
    } else {
        (void)::unsetenv("TZ");
    }
    ::tzset();
#endif
}
