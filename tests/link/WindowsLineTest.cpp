#include "LineDcb.h"
#include "LineGoneErrors.h"

#include <gtest/gtest.h>

#include <cstdint>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace {

#if defined(_WIN32)
using Dcb = DCB;
constexpr unsigned long kNoParity = NOPARITY, kEvenParity = EVENPARITY;
constexpr unsigned long kOneStopBit = ONESTOPBIT, kTwoStopBits = TWOSTOPBITS;
constexpr unsigned long kDtrDisable = DTR_CONTROL_DISABLE, kDtrHandshake = DTR_CONTROL_HANDSHAKE;
constexpr unsigned long kRtsDisable = RTS_CONTROL_DISABLE, kRtsHandshake = RTS_CONTROL_HANDSHAKE;
#else
// The fields of the system's DCB, for a build without <windows.h>; its values below are those
// of the system's names.
struct Dcb {
    std::uint32_t DCBlength;
    std::uint32_t BaudRate;
    std::uint32_t fBinary : 1;
    std::uint32_t fParity : 1;
    std::uint32_t fOutxCtsFlow : 1;
    std::uint32_t fOutxDsrFlow : 1;
    std::uint32_t fDtrControl : 2;
    std::uint32_t fDsrSensitivity : 1;
    std::uint32_t fTXContinueOnXoff : 1;
    std::uint32_t fOutX : 1;
    std::uint32_t fInX : 1;
    std::uint32_t fErrorChar : 1;
    std::uint32_t fNull : 1;
    std::uint32_t fRtsControl : 2;
    std::uint32_t fAbortOnError : 1;
    std::uint32_t fDummy2 : 17;
    std::uint16_t wReserved;
    std::uint16_t XonLim;
    std::uint16_t XoffLim;
    std::uint8_t ByteSize;
    std::uint8_t Parity;
    std::uint8_t StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    std::uint16_t wReserved1;
};
constexpr unsigned long kNoParity = 0, kEvenParity = 2;
constexpr unsigned long kOneStopBit = 0, kTwoStopBits = 2;
constexpr unsigned long kDtrDisable = 0, kDtrHandshake = 2;
constexpr unsigned long kRtsDisable = 0, kRtsHandshake = 2;
#endif

// What "mode COM3: octs=on idsr=on odsr=on xon=on" and a program that used another line format
// leave in the driver.
Dcb LeftByAnotherProgram() {
    Dcb dcb{};
    dcb.BaudRate = 9600;
    dcb.fParity = 1;
    dcb.fOutxCtsFlow = 1;
    dcb.fOutxDsrFlow = 1;
    dcb.fDtrControl = kDtrHandshake;
    dcb.fDsrSensitivity = 1;
    dcb.fTXContinueOnXoff = 0;
    dcb.fOutX = 1;
    dcb.fInX = 1;
    dcb.fErrorChar = 1;
    dcb.fNull = 1;
    dcb.fRtsControl = kRtsHandshake;
    dcb.fAbortOnError = 1;
    dcb.fDummy2 = 5;
    dcb.wReserved = 1;
    dcb.XonLim = 2048;
    dcb.XoffLim = 512;
    dcb.ByteSize = 7;
    dcb.Parity = kEvenParity;
    dcb.StopBits = kTwoStopBits;
    dcb.XonChar = 0; // equal characters: the driver would refuse the whole DCB
    dcb.XoffChar = 0;
    dcb.ErrorChar = '?';
    dcb.EofChar = 0x1A;
    dcb.EvtChar = '\n';
    dcb.wReserved1 = 3;
    return dcb;
}

struct Field {
    const char* name;
    unsigned long (*get)(const Dcb&);
};

#define QAL_FIELD(name)                                                                            \
    Field {                                                                                        \
#name, [](const Dcb& dcb) { return static_cast<unsigned long>(dcb.name); }                 \
    }

} // namespace

TEST(WindowsLine, EveryFieldOfTheLineSettingsIsSetWhateverTheDriverHad) {
    const struct {
        Field field;
        unsigned long expected;
    } fields[] = {
        {QAL_FIELD(DCBlength), sizeof(Dcb)},
        {QAL_FIELD(BaudRate), 19200},
        {QAL_FIELD(fBinary), 1},
        {QAL_FIELD(fParity), 0},
        {QAL_FIELD(fOutxCtsFlow), 0},
        {QAL_FIELD(fOutxDsrFlow), 0},
        {QAL_FIELD(fDtrControl), kDtrDisable},
        {QAL_FIELD(fDsrSensitivity), 0},
        {QAL_FIELD(fTXContinueOnXoff), 1},
        {QAL_FIELD(fOutX), 0},
        {QAL_FIELD(fInX), 0},
        {QAL_FIELD(fErrorChar), 0},
        {QAL_FIELD(fNull), 0},
        {QAL_FIELD(fRtsControl), kRtsDisable},
        {QAL_FIELD(fAbortOnError), 0},
        {QAL_FIELD(wReserved), 0},
        {QAL_FIELD(ByteSize), 8},
        {QAL_FIELD(Parity), kNoParity},
        {QAL_FIELD(StopBits), kOneStopBit},
        {QAL_FIELD(XonChar), 0x11},
        {QAL_FIELD(XoffChar), 0x13},
        {QAL_FIELD(ErrorChar), 0},
        {QAL_FIELD(EofChar), 0},
        {QAL_FIELD(EvtChar), 0},
    };
    // Only meaningful to the driver itself: kept as it reported them.
    const Field kept[] = {
        QAL_FIELD(XonLim),
        QAL_FIELD(XoffLim),
        QAL_FIELD(fDummy2),
        QAL_FIELD(wReserved1),
    };
    const struct {
        const char* name;
        Dcb fromDriver;
    } drivers[] = {
        {"left by another program", LeftByAnotherProgram()},
        {"all zero", Dcb{}},
    };
    for (const auto& driver : drivers) {
        SCOPED_TRACE(driver.name);
        const Dcb line = LineDcbFor(driver.fromDriver, 19200);
        for (const auto& set : fields) {
            EXPECT_EQ(set.field.get(line), set.expected) << set.field.name;
        }
        for (const Field& field : kept) {
            EXPECT_EQ(field.get(line), field.get(driver.fromDriver)) << field.name;
        }
    }
}

TEST(WindowsLine, OnlyErrorsOfADeviceThatHasGoneEndTheLine) {
    const struct {
        const char* name;
        unsigned long code;
        bool gone;
    } cases[] = {
        {"ERROR_FILE_NOT_FOUND", 2, true},      {"ERROR_ACCESS_DENIED", 5, true},
        {"ERROR_NOT_READY", 21, true},          {"ERROR_BAD_COMMAND", 22, true},
        {"ERROR_GEN_FAILURE", 31, true},        {"ERROR_DEV_NOT_EXIST", 55, true},
        {"ERROR_NO_SUCH_DEVICE", 433, true},    {"ERROR_DEVICE_NOT_CONNECTED", 1167, true},
        {"ERROR_DEVICE_REMOVED", 1617, true},   {"ERROR_SUCCESS", 0, false},
        {"ERROR_INVALID_HANDLE", 6, false},     {"ERROR_INVALID_PARAMETER", 87, false},
        {"ERROR_SEM_TIMEOUT", 121, false},      {"ERROR_OPERATION_ABORTED", 995, false},
        {"ERROR_IO_INCOMPLETE", 996, false},    {"ERROR_IO_PENDING", 997, false},
        {"ERROR_COUNTER_TIMEOUT", 1121, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsWindowsLineGoneError(c.code), c.gone) << c.name;
    }
#if defined(_WIN32)
    // The numbers above are the system's.
    EXPECT_EQ(win_error::kFileNotFound, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(win_error::kAccessDenied, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(win_error::kNotReady, static_cast<unsigned long>(ERROR_NOT_READY));
    EXPECT_EQ(win_error::kBadCommand, static_cast<unsigned long>(ERROR_BAD_COMMAND));
    EXPECT_EQ(win_error::kGenFailure, static_cast<unsigned long>(ERROR_GEN_FAILURE));
    EXPECT_EQ(win_error::kDevNotExist, static_cast<unsigned long>(ERROR_DEV_NOT_EXIST));
    EXPECT_EQ(win_error::kDeviceNotConnected,
              static_cast<unsigned long>(ERROR_DEVICE_NOT_CONNECTED));
    EXPECT_EQ(win_error::kDeviceRemoved, static_cast<unsigned long>(ERROR_DEVICE_REMOVED));
    EXPECT_EQ(static_cast<unsigned long>(ERROR_OPERATION_ABORTED), 995UL);
    EXPECT_EQ(static_cast<unsigned long>(ERROR_IO_PENDING), 997UL);
#endif
}
