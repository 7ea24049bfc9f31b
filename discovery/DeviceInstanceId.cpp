#include "DeviceInstanceId.h"

#include <cctype>

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    std::size_t i = 0;
    for (; prefix[i] != '\0'; ++i) {
        if (i >= text.size() || std::toupper(static_cast<unsigned char>(text[i])) !=
                                    static_cast<unsigned char>(prefix[i])) {
            return false;
        }
    }
    return true;
}

// The parts of an id between its backslashes.
std::string Part(const std::string& id, std::size_t index) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i) {
        start = id.find('\\', start);
        if (start == std::string::npos) {
            return {};
        }
        ++start;
    }
    const std::size_t end = id.find('\\', start);
    return id.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace

std::string SerialNumberFromInstanceId(const std::string& id) {
    std::string serial;
    if (StartsWith(id, "USB\\")) {
        serial = Part(id, 2);
    } else if (StartsWith(id, "FTDIBUS\\")) {
        // VID_0403+PID_6001+<serial><channel>
        const std::string device = Part(id, 1);
        const std::size_t first = device.find('+');
        const std::size_t second =
            first == std::string::npos ? std::string::npos : device.find('+', first + 1);
        if (second == std::string::npos) {
            return {};
        }
        serial = device.substr(second + 1);
        if (!serial.empty() && serial.back() >= 'A' && serial.back() <= 'D') {
            serial.pop_back();
        }
    }
    return serial.find('&') == std::string::npos ? serial : std::string();
}

bool IsOutgoingBluetoothPort(const std::string& id) {
    if (!StartsWith(id, "BTHENUM\\")) {
        return false;
    }
    // The last part: ...&<12 hex digits of the address>_<more>
    const std::size_t lastSeparator = id.find_last_of('\\');
    const std::string tail = id.substr(lastSeparator + 1);
    const std::size_t ampersand = tail.find_last_of('&');
    const std::string address = tail.substr(ampersand == std::string::npos ? 0 : ampersand + 1, 12);
    if (address.size() != 12) {
        return true; // a form not known here: not dialled, to be safe
    }
    for (const char c : address) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return true;
        }
        if (c != '0') {
            return true;
        }
    }
    return false;
}
