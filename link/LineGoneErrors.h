#pragma once

#include <algorithm>
#include <iterator>

// The Windows system error codes (winerror.h) by which serial drivers say that the device behind
// an open port has gone (a USB adapter pulled out): nothing will come from it again. Drivers
// differ in which one they use, so the list is wide. Kept apart from <windows.h> so that the
// decision can be checked anywhere.
namespace win_error {

inline constexpr unsigned long kFileNotFound = 2;          // ERROR_FILE_NOT_FOUND
inline constexpr unsigned long kAccessDenied = 5;          // ERROR_ACCESS_DENIED
inline constexpr unsigned long kNotReady = 21;             // ERROR_NOT_READY
inline constexpr unsigned long kBadCommand = 22;           // ERROR_BAD_COMMAND
inline constexpr unsigned long kGenFailure = 31;           // ERROR_GEN_FAILURE
inline constexpr unsigned long kDevNotExist = 55;          // ERROR_DEV_NOT_EXIST
inline constexpr unsigned long kNoSuchDevice = 433;        // ERROR_NO_SUCH_DEVICE
inline constexpr unsigned long kDeviceNotConnected = 1167; // ERROR_DEVICE_NOT_CONNECTED
inline constexpr unsigned long kDeviceRemoved = 1617;      // ERROR_DEVICE_REMOVED

inline constexpr unsigned long kLineGone[] = {
    kFileNotFound, kAccessDenied, kNotReady,           kBadCommand,    kGenFailure,
    kDevNotExist,  kNoSuchDevice, kDeviceNotConnected, kDeviceRemoved,
};

} // namespace win_error

// Whether a failed call on an open port means its device has gone for good. Codes of a single
// failed operation (a cancelled one, a time-out, a bad parameter) do not.
constexpr bool IsWindowsLineGoneError(unsigned long code) {
    return std::find(std::begin(win_error::kLineGone), std::end(win_error::kLineGone), code) !=
           std::end(win_error::kLineGone);
}
