#include "DeviceCommands.h"
#include "TestMessages.h"
#include "VirtualOwner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

namespace {

TEST(ReadoutTexts, SpeedsWithSignAndOneDecimal) {
    const struct {
        std::int16_t tenths;
        const char* shown;
    } cases[] = {
        {123, " 12.3 [m/s]"},      {5, "  0.5 [m/s]"},       {0, "  0.0 [m/s]"},
        {-5, "- 0.5 [m/s]"},       {-123, "-12.3 [m/s]"},    {1000, " 100.0 [m/s]"},
        {-32768, "-3276.8 [m/s]"}, {32766, " 3276.6 [m/s]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatSpeed(c.tenths), c.shown) << c.tenths;
    }
}

TEST(ReadoutTexts, ReadingNumberFailureAndOutputs) {
    EXPECT_EQ(FormatReadInfo(7, 0x28), "Nr odczytu: 7\r\n\r\nWyjście 1-3 : 1 0 1\r\n");
    EXPECT_EQ(FormatReadInfo(65535, 0x00),
              "Nr odczytu: 65535\r\nAwaria urządzenia !\r\nWyjście 1-3 : 1 1 1\r\n");
    EXPECT_EQ(FormatReadInfo(0, 0xF7),
              "Nr odczytu: 0\r\nAwaria urządzenia !\r\nWyjście 1-3 : 0 0 0\r\n");
}

LinkMessage Reading(std::int16_t tenths, std::uint8_t status = 0x08, std::uint8_t length = 8) {
    const auto bits = static_cast<std::uint16_t>(tenths);
    LinkMessage message = MakeMessage(CMD_READ_MEASUREMENT, {static_cast<std::uint8_t>(bits & 0xFF),
                                                             static_cast<std::uint8_t>(bits >> 8),
                                                             0, 0, 0, 0, status, 0});
    message.length = length;
    return message;
}

class ReadoutTest : public testing::Test {
protected:
    // Answers the reading request in flight after `after` ms with this message.
    void Answer(unsigned after, const LinkMessage& message) {
        owner.Advance(after);
        owner.Receive(message);
        owner.DeliverPosted();
    }
    std::vector<unsigned> RequestTimes() const {
        std::vector<unsigned> times;
        for (const auto& s : owner.sent) {
            times.push_back(s.at);
        }
        return times;
    }
    int ShownNumber() const {
        std::smatch match;
        const std::string& text = owner.readInfoText;
        return std::regex_search(text, match, std::regex(R"(Nr odczytu: (\d+))"))
                   ? std::stoi(match[1])
                   : -1;
    }

    VirtualOwner owner;
};

TEST_F(ReadoutTest, EachCompletionShowsTheReadingAndArmsTheNextRequest) {
    owner.readout.PollMeasurement(1);
    ASSERT_EQ(owner.sent.size(), 1u);
    const LinkMessage& request = owner.sent[0].message;
    EXPECT_EQ(request.command, CMD_READ_MEASUREMENT);
    EXPECT_EQ(request.address, 31);
    EXPECT_EQ(request.length, 3);
    EXPECT_EQ(std::vector<int>(request.payload, request.payload + 3), (std::vector<int>{0, 0, 0}));

    Answer(40, Reading(123, 0x28));
    EXPECT_EQ(owner.speedText, " 12.3 [m/s]");
    const int number = ShownNumber();
    EXPECT_EQ(owner.readInfoText, FormatReadInfo(static_cast<std::uint16_t>(number), 0x28));
    Answer(1000 + 30, Reading(-5));
    EXPECT_EQ(owner.speedText, "- 0.5 [m/s]");
    EXPECT_EQ(ShownNumber(), number + 1);

    // A silent device: blank fields, and the next try 1500 + 1000 ms after each send.
    owner.Advance(1000 + 1500);
    EXPECT_EQ(owner.speedText, " - - - -");
    EXPECT_EQ(owner.readInfoText, "");
    owner.Advance(2500);
    EXPECT_EQ(RequestTimes(), (std::vector<unsigned>{0, 1040, 2070, 4570}));
}

TEST(ReadoutStart, FirstReadingAfterStartIsNumberZero) {
    // The number counts for the whole program, so only a fresh process shows the first one.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            VirtualOwner owner;
            owner.readout.PollMeasurement(1);
            owner.Receive(Reading(10));
            owner.DeliverPosted();
            const bool first = owner.readInfoText.rfind("Nr odczytu: 0\r\n", 0) == 0;
            owner.Advance(1000);
            owner.Receive(Reading(20));
            owner.DeliverPosted();
            const bool second = owner.readInfoText.rfind("Nr odczytu: 1\r\n", 0) == 0;
            std::exit(first && second ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(ReadoutTest, ModelMarkerShowsTheModelAndOffersClockAndReader) {
    owner.readout.PollMeasurement(1);
    Answer(10, Reading(200));
    const std::string details = owner.readInfoText;
    const int number = ShownNumber();
    Answer(1000, Reading(0x7FFF));
    EXPECT_EQ(owner.speedText, " QAL-1P ");
    EXPECT_EQ(owner.readInfoText, details) << "the details stay as they were";
    EXPECT_TRUE(owner.modelFunctionsEnabled);
    Answer(1000, Reading(10));
    EXPECT_EQ(ShownNumber(), number + 1) << "the marker is not counted as a reading";
}

// Bytes past an answer's length carry nothing: the marker needs two, a speed reading seven.
TEST_F(ReadoutTest, AnswerTooShortForWhatItClaimsCountsAsNone) {
    const struct {
        LinkMessage answer;
        const char* shown;
        bool enables;
    } cases[] = {
        {Reading(0x7FFF, 0x08, 1), " - - - -", false},
        {Reading(0x7FFF, 0x08, 2), " QAL-1P ", true},
        {Reading(123, 0x08, 6), " - - - -", false},
        {Reading(123, 0x08, 7), " 12.3 [m/s]", false},
    };
    for (const auto& c : cases) {
        VirtualOwner fresh;
        fresh.readout.PollMeasurement(1);
        fresh.Receive(c.answer);
        fresh.DeliverPosted();
        EXPECT_EQ(fresh.speedText, c.shown) << int(c.answer.length);
        EXPECT_EQ(fresh.modelFunctionsEnabled, c.enables) << int(c.answer.length);
        EXPECT_EQ(fresh.timers.IsTimerPending(
                      &fresh.readout,
                      &TimerThunk<CMeasurementReadout, &CMeasurementReadout::PollMeasurement>, 1),
                  true)
            << "the chain goes on either way";
    }
}

TEST_F(ReadoutTest, TwoReadingsInFlightStartOneTimer) {
    owner.readout.PollMeasurement(1);
    owner.readout.PollMeasurement(1); // a reconnect before the first reading completed
    Answer(10, Reading(10));          // sends the second, arms the timer for 1010
    Answer(10, Reading(20));          // finds the timer armed
    owner.Advance(3000 - 20);
    // One chain: the silent device's next request only after the time-out at 2510 + 1000.
    EXPECT_EQ(RequestTimes(), (std::vector<unsigned>{0, 10, 1010}));
    EXPECT_EQ(owner.timers.Count(), 1u);
}

// After a stop nothing more is requested, also when a reading still on its way completes later.
TEST_F(ReadoutTest, StopBlanksAndALateCompletionDoesNotRestartTheChain) {
    owner.readout.PollMeasurement(1);
    Answer(10, Reading(10));
    owner.Advance(1000); // the next reading is in flight
    owner.readout.PollMeasurement(0);
    EXPECT_EQ(owner.speedText, " - - - -");
    EXPECT_EQ(owner.readInfoText, "");
    owner.Advance(10000); // its time-out comes and goes
    EXPECT_EQ(RequestTimes(), (std::vector<unsigned>{0, 1010}));
    EXPECT_EQ(owner.timers.Count(), 0u);
    EXPECT_EQ(owner.speedText, " - - - -");

    owner.readout.PollMeasurement(1); // the next connection takes over
    EXPECT_EQ(owner.sent.size(), 3u);
}

// What a tool following the readings gets: each speed shown, and a gap for each missing one.
TEST(ReadoutFollowers, GetEachReadingShownAndAGapForEachMissingOne) {
    struct Follower : VirtualOwner {
        void OnReading(const ReadingSample& s) override {
            events.push_back("reading " + std::to_string(s.speedTenths) + " " +
                             std::to_string(s.status) + (s.failure ? " failure " : " in order ") +
                             std::to_string(s.outputs[0]) + std::to_string(s.outputs[1]) +
                             std::to_string(s.outputs[2]));
            numbers.push_back(s.readingNo);
        }
        void OnReadingMissed() override { events.push_back("gap"); }
        std::vector<std::string> events;
        std::vector<int> numbers;
    } owner;
    owner.readout.PollMeasurement(1);
    owner.Receive(Reading(123, 0x28));
    owner.DeliverPosted();
    owner.Advance(1000);
    owner.Receive(Reading(0x7FFF)); // the model marker is no speed
    owner.DeliverPosted();
    owner.Advance(1000);
    owner.Receive(Reading(-5, 0x00));
    owner.DeliverPosted();
    owner.Advance(1000);
    owner.Receive(Reading(50, 0x08, 6)); // too short
    owner.DeliverPosted();
    owner.Advance(1000 + 1500); // no answer
    owner.readout.PollMeasurement(0);
    EXPECT_EQ(owner.events,
              (std::vector<std::string>{"reading 123 40 in order 101", "reading -5 0 failure 111",
                                        "gap", "gap", "gap"}));
    ASSERT_EQ(owner.numbers.size(), 2u);
    EXPECT_EQ(owner.numbers[1], owner.numbers[0] + 1);
}

} // namespace
