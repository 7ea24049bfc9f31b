#include "LineClient.h"
#include "LineDevice.h"

#include "LinkMessage.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// The terminal's requests to address 31, as the protocol's worked examples give them.
constexpr char kVersionRequest[] = "\n\r:031F21BD";
constexpr char kMeasurementRequest[] = "\n\r:061F22000000B9";

DeviceBehaviour Device() {
    DeviceBehaviour device;
    device.fixedSpeed = 123; // 12.3 m/s
    return device;
}

} // namespace

TEST(Line, VersionAndMeasurementExchangesOnTheWire) {
    CLineDevice device(Device(), {});
    ASSERT_TRUE(device.IsRunning());
    CLineClient line(device.AppDirectory(), CLineDevice::kPort);
    ASSERT_TRUE(line.IsOpen());

    // 15 1F 21, then 03 and "QAL-1P symulator" with its zero byte: 8-bit sum F4, checksum 0C.
    EXPECT_EQ(line.Exchange(kVersionRequest), "\n\r:151F210351414C2D31502073796D756C61746F72000C");
    // The first reading carries the model marker 7FFF. Status 48: in order (08), outputs 1
    // and 2 on at 12.3 m/s (bits 10 and 20 clear), output 3 off (40). Sum 0x212, checksum EE.
    EXPECT_EQ(line.Exchange(kMeasurementRequest), "\n\r:0B1F22FF7F000000004800EE");
    // Then the speed, 123 = 7B 00. Sum 0x10F, checksum F1.
    EXPECT_EQ(line.Exchange(kMeasurementRequest), "\n\r:0B1F227B00000000004800F1");
}

TEST(Line, WrittenRecordReadsBackByteForByte) {
    CLineDevice device(Device(), {});
    CLineClient line(device.AppDirectory(), CLineDevice::kPort);
    // CMD_WRITE_CONFIG with 39 bytes 00 01 02 ... 26: length byte 2A; the bytes sum to 0x2E5,
    // with 2A 1F 23 to 0x351, so the checksum is AF.
    std::string write = "\n\r:2A1F23";
    const char* digits = "0123456789ABCDEF";
    for (int i = 0; i < 39; ++i) {
        write += digits[i >> 4];
        write += digits[i & 15];
    }
    write += "AF";
    // Answered with an empty payload under the same command: 03 1F 23, checksum BB.
    EXPECT_EQ(line.Exchange(write), "\n\r:031F23BB");

    const LinkMessage read = DecodeWire(line.Exchange("\n\r:031F24BA"));
    ASSERT_EQ(read.length, 39);
    EXPECT_EQ(read.command, 0x24);
    for (int i = 0; i < 39; ++i) {
        EXPECT_EQ(read.payload[i], i);
    }
}

TEST(Line, OnlyGoodFramesToItsAddressAreAnswered) {
    CLineDevice device(Device(), {});
    CLineClient line(device.AppDirectory(), CLineDevice::kPort);
    line.Send("\n\r:032021BC");  // a version request to address 32
    line.Send("\n\r:031F21BE");  // to address 31 with a bad checksum
    line.Send("\n\r:031F 21BD"); // broken by a blank
    line.Send("\n\r:00");        // a good checksum, but no address or command
    EXPECT_EQ(line.ReadFor(300ms), "");
    // The device is still there, and lower-case digits are as good as upper-case ones.
    EXPECT_EQ(DecodeWire(line.Exchange("\n\r:031f21bd")).command, 0x21);
    EXPECT_EQ(line.ReadFor(100ms), "") << "answered more than once";
}

TEST(Line, SurvivesTheTerminalClosingAndReopeningThePort) {
    CLineDevice device(Device(), {});
    for (int connection = 0; connection < 3; ++connection) {
        CLineClient line(device.AppDirectory(), CLineDevice::kPort);
        ASSERT_TRUE(line.IsOpen()) << "connection " << connection;
        EXPECT_EQ(DecodeWire(line.Exchange(kVersionRequest)).command, 0x21);
    }
}

TEST(Line, SilentDeviceAnswersNothingButStillSendsTexts) {
    LineBehaviour behaviour;
    behaviour.silent = true;
    behaviour.text = "x";
    behaviour.textPeriod = 150ms;
    CLineDevice device(Device(), behaviour);
    CLineClient line(device.AppDirectory(), CLineDevice::kPort);
    line.Send(kVersionRequest);
    // Only texts arrive: 05 1F A0 78 00, sum 0x13C, checksum C4.
    const std::string received = line.ReadFor(400ms);
    EXPECT_EQ(received.substr(0, 15), "\n\r:051FA07800C4");
    EXPECT_EQ(received.find(":151F21"), std::string::npos);
}

TEST(Line, DelayedAnswerComesLate) {
    LineBehaviour behaviour;
    behaviour.delay = 300ms;
    CLineDevice device(Device(), behaviour);
    CLineClient line(device.AppDirectory(), CLineDevice::kPort);
    const auto sent = std::chrono::steady_clock::now();
    line.Send(kVersionRequest);
    line.Send(kMeasurementRequest);
    const std::string first = line.NextFrame();
    const auto elapsed = std::chrono::steady_clock::now() - sent;
    EXPECT_EQ(DecodeWire(first).command, 0x21);
    EXPECT_GE(elapsed, 300ms);
    EXPECT_LT(elapsed, 1000ms);
    EXPECT_EQ(DecodeWire(line.NextFrame()).command, 0x22) << "the second answer was lost";
}

TEST(Line, DeviceTextComesEveryPeriodInWindows1250) {
    LineBehaviour behaviour;
    behaviour.text = "Za\xBF\xF3\xB3\xE6 g\xEA\x9C\x6C\xB9 ja\x9F\xF1"; // "Zażółć gęślą jaźń"
    behaviour.textPeriod = 100ms;
    CLineDevice device(Device(), behaviour);
    CLineClient line(device.AppDirectory(), CLineDevice::kPort);
    // 15 1F A0, the 17 bytes of the text and a zero byte: 8-bit sum 87, checksum 79.
    const char* expected = "\n\r:151FA05A61BFF3B3E62067EA9C6CB9206A619FF10079";
    EXPECT_EQ(line.NextFrame(1s), expected);
    EXPECT_EQ(line.NextFrame(1s), expected);
}

TEST(Line, CorruptedFramesFailTheirChecksumAndNothingElse) {
    auto answers = [](double fraction) {
        LineBehaviour behaviour;
        behaviour.corruptFraction = fraction;
        behaviour.seed = 5;
        CLineDevice device(Device(), behaviour);
        CLineClient line(device.AppDirectory(), CLineDevice::kPort);
        for (int i = 0; i < 40; ++i) {
            line.Send(kVersionRequest);
        }
        int good = 0;
        int broken = 0;
        for (int i = 0; i < 40; ++i) {
            const std::string frame = line.NextFrame();
            EXPECT_EQ(frame.size(), 47u) << "answer " << i;
            (DecodeWire(frame).length == 255 ? broken : good) += 1;
        }
        return std::pair(good, broken);
    };
    EXPECT_EQ(answers(0.0), std::pair(40, 0));
    EXPECT_EQ(answers(1.0), std::pair(0, 40));
    const auto [good, broken] = answers(0.5);
    EXPECT_GT(good, 8);
    EXPECT_GT(broken, 8);
    EXPECT_EQ(answers(0.5), std::pair(good, broken)) << "the seed does not repeat the pattern";
}

TEST(Line, ShortAnswersCutThePayload) {
    DeviceBehaviour behaviour = Device();
    behaviour.shortAnswers = true;
    behaviour.modelMarker = ModelMarkerMode::Never;
    CLineDevice device(behaviour, {});
    CLineClient line(device.AppDirectory(), CLineDevice::kPort);
    // Four of the eight bytes: 7B 00 00 00. Sum 07+1F+22+7B = 0xC3, checksum 3D.
    EXPECT_EQ(line.Exchange(kMeasurementRequest), "\n\r:071F227B0000003D");
}

TEST(Line, PacedLineTakesTheLineTimeOfRequestAndAnswer) {
    LineBehaviour behaviour;
    behaviour.paceBaudRate = 19200;
    CLineDevice device(Device(), behaviour);
    CLineClient line(device.AppDirectory(), CLineDevice::kPort);
    const std::string answer = "\n\r:151F210351414C2D31502073796D756C61746F72000C";
    for (int round = 0; round < 3; ++round) {
        const auto sent = std::chrono::steady_clock::now();
        EXPECT_EQ(line.Exchange(kVersionRequest), answer);
        const auto elapsed = std::chrono::steady_clock::now() - sent;
        // 11 characters in, 47 out, at 1920 characters a second: 30.2 ms at the least.
        EXPECT_GE(elapsed, CLinePacer(19200).LineTime(sizeof kVersionRequest - 1 + answer.size()))
            << "round " << round;
        EXPECT_LT(elapsed, 1500ms) << "round " << round;
    }
}
