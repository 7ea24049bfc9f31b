// The serial port, its wake-up and the worker against a running qal-sim, on every platform
// (under wine for Windows). Started by tests/link/with-simulator.sh, which runs the simulator
// with a fixed speed and no model marker and says where it is:
//   QAL_LINE_PORT    the port number of the simulator's line
//   QAL_LINE_APPDIR  (POSIX) the directory that holds the COM<n> link to it
#include "DeviceCommands.h"
#include "FrameEncoder.h"
#include "LinkWakeup.h"
#include "SerialPort.h"
#include "WorkerHarness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// No device stands behind this port on any test machine.
constexpr int kMissingPort = 200;

// length, address, command and payload of the simulator's answers at 8.7 m/s.
const Bytes kVersionAnswer = {18,  31,  0x21, 3,   'Q', 'A', 'L', '-', '1', 'P', ' ',
                              's', 'y', 'm',  'u', 'l', 'a', 't', 'o', 'r', 0};
// Status 0x68: in order, outputs 2 and 3 off.
const Bytes kMeasurementAnswer = {8, 31, 0x22, 0x57, 0x00, 0, 0, 0, 0, 0x68, 0};

Bytes BytesOf(const LinkMessage& message) {
    Bytes bytes = {message.length, message.address, message.command};
    bytes.insert(bytes.end(), message.payload, message.payload + message.length);
    return bytes;
}

LinkMessage MessageOf(const Bytes& bytes) {
    LinkMessage message;
    message.length = bytes[0];
    message.address = bytes[1];
    message.command = bytes[2];
    std::copy(bytes.begin() + 3, bytes.end(), message.payload);
    return message;
}

std::string Wire(const Bytes& bytes) {
    EncodedFrame frame;
    FrameEncoder::Encode(MessageOf(bytes), frame);
    return std::string(frame.text, frame.size);
}

std::chrono::nanoseconds ProcessCpuTime() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

bool RunningUnderWine() {
#if defined(_WIN32)
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

long long Milliseconds(Clock::duration duration) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
}

class SimulatorLine : public ::testing::Test {
protected:
    void SetUp() override {
        const char* port = std::getenv("QAL_LINE_PORT");
        ASSERT_NE(port, nullptr) << "run through tests/link/with-simulator.sh";
        m_nPort = std::atoi(port);
        const char* appDirectory = std::getenv("QAL_LINE_APPDIR");
        m_strAppDirectory = appDirectory != nullptr ? appDirectory : "";
    }

    int m_nPort = 0;
    std::string m_strAppDirectory;
};

} // namespace

TEST_F(SimulatorLine, WorkerExchangesVersionAndMeasurementsByteForByte) {
    CWorkerHarness link(m_nPort, m_strAppDirectory);
    link.Start();
    ASSERT_TRUE(link.Next(kLinkEventConnected));
    const struct {
        std::uint8_t command;
        std::initializer_list<std::uint8_t> payload;
        const Bytes& answer;
    } exchanges[] = {
        {CMD_READ_VERSION, {}, kVersionAnswer},
        {CMD_READ_MEASUREMENT, {0, 0, 0}, kMeasurementAnswer},
        {CMD_READ_MEASUREMENT, {0, 0, 0}, kMeasurementAnswer},
    };
    for (const auto& exchange : exchanges) {
        link.Send(exchange.command, exchange.payload);
        const std::optional<LinkMessage> answer = link.Next(exchange.command);
        ASSERT_TRUE(answer) << "no answer to command " << int{exchange.command};
        EXPECT_EQ(BytesOf(*answer), exchange.answer);
    }
    EXPECT_EQ(link.StopAndJoin(), 0);
    EXPECT_TRUE(link.Next(kLinkEventEnded));
}

TEST_F(SimulatorLine, PortThatDoesNotExistEndsTheRunWithResult2) {
    CWorkerHarness link(kMissingPort, m_strAppDirectory);
    link.Start();
    ASSERT_TRUE(link.Next(kLinkEventOpening));
    ASSERT_TRUE(link.Next(kLinkEventEnded));
    EXPECT_EQ(link.StopAndJoin(), 2);
    EXPECT_EQ(link.Context().result.load(), 2);
}

TEST_F(SimulatorLine, StopWhileIdleIsEndedByTheWakeUp) {
    CWorkerHarness link(m_nPort, m_strAppDirectory);
    link.Start();
    ASSERT_TRUE(link.Next(kLinkEventConnected));
    link.Send(CMD_READ_VERSION); // so that the port has seen input before it goes quiet
    ASSERT_TRUE(link.Next(CMD_READ_VERSION));

    // Idle for longer than the quiet limit, CPU time barely moving: nothing spins.
    const auto cpuBefore = ProcessCpuTime();
    const auto wallBefore = Clock::now();
    std::this_thread::sleep_for(600ms);
    const auto cpu = ProcessCpuTime() - cpuBefore;
    EXPECT_LT(cpu, (Clock::now() - wallBefore) / 4) << "the idle worker spins";

    const auto start = Clock::now();
    EXPECT_EQ(link.StopAndJoin(), 0);
    const auto elapsed = Clock::now() - start;
    std::cout << "stop request to worker end: " << Milliseconds(elapsed) << " ms\n";
    RecordProperty("stop_ms", static_cast<int>(Milliseconds(elapsed)));
    EXPECT_LT(elapsed, 1s);
}

TEST_F(SimulatorLine, WaitOnThePortEndsOnInputAndOnSignalNotAtTheLimit) {
    CSerialPort port(m_strAppDirectory);
    ASSERT_EQ(port.Open(m_nPort, 19200), 1);
    CLinkWakeup wakeup;
    const std::string request = Wire({0, 31, CMD_READ_VERSION});
    ASSERT_EQ(port.Write(request.data(), static_cast<int>(request.size())),
              static_cast<int>(request.size()));

    // The answer, collected as the worker does: read what is there, otherwise wait.
    const std::string expected = Wire(kVersionAnswer);
    std::string received;
    const auto deadline = Clock::now() + 5s;
    while (received.size() < expected.size() && Clock::now() < deadline) {
        char byte = 0;
        if (port.Read(&byte, 1) == 1) {
            received.push_back(byte);
        } else {
            const auto start = Clock::now();
            const auto woken = wakeup.Wait(port.NativeHandle(), 10000);
            ASSERT_LT(Clock::now() - start, 5s) << "input did not end the wait";
            EXPECT_NE(woken, CLinkWakeup::WaitResult::Signalled);
        }
    }
    EXPECT_EQ(received, expected);

    // The line is quiet now. Some drivers end a port wait early without data (wine does): such
    // reports are passed over, as the worker's back-off does, until the signal comes.
    std::thread signaller([&wakeup] {
        std::this_thread::sleep_for(100ms);
        wakeup.Signal();
    });
    const auto start = Clock::now();
    CLinkWakeup::WaitResult woken = CLinkWakeup::WaitResult::PortReady;
    while (woken == CLinkWakeup::WaitResult::PortReady && Clock::now() - start < 5s) {
        char byte = 0;
        ASSERT_EQ(port.Read(&byte, 1), 0) << "the device sent more than its answer";
        woken = wakeup.Wait(port.NativeHandle(), 10000);
    }
    EXPECT_EQ(woken, CLinkWakeup::WaitResult::Signalled);
    EXPECT_LT(Clock::now() - start, 5s);
    signaller.join();
}

TEST_F(SimulatorLine, PortIsExclusiveAndDoesNothingWhileClosed) {
    CSerialPort first(m_strAppDirectory);
    CSerialPort second(m_strAppDirectory);
    for (int baudRate : {0, -19200}) {
        EXPECT_EQ(first.Open(m_nPort, baudRate), 0) << baudRate;
    }
    char buffer[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(first.Write("abc", 3), 0);
    EXPECT_EQ(first.Read(buffer, 4), 0);
    EXPECT_EQ(buffer[0], 'x');

    ASSERT_EQ(first.Open(m_nPort, 19200), 1);
    EXPECT_EQ(first.Open(m_nPort, 9600), 1);
    if (!RunningUnderWine()) {
        // Windows drivers refuse a second open; wine does not for a pseudo-terminal.
        EXPECT_EQ(second.Open(m_nPort, 19200), 0);
        EXPECT_FALSE(second.IsOpen());
    }
    const auto start = Clock::now();
    EXPECT_EQ(first.Read(buffer, 4), 0); // nothing was asked, so nothing waits
    EXPECT_LT(Clock::now() - start, 1s);

    EXPECT_EQ(first.Close(), 1);
    EXPECT_EQ(first.Close(), 1);
    EXPECT_EQ(first.Write("abc", 3), 0);
    {
        CSerialPort scoped(m_strAppDirectory);
        ASSERT_EQ(scoped.Open(m_nPort, 19200), 1);
    } // the destructor closes
    EXPECT_EQ(second.Open(m_nPort, 19200), 1);
}
