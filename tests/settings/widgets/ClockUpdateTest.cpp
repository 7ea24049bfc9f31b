#include "LocalCalendar.h"
#include "SettingsTestSupport.h"

#include "ClockUpdate.h"
#include "DeviceCommands.h"
#include "MessageBoxTypes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

TimeRecord MakeTime(int second) {
    TimeRecord record;
    record.setSecond(static_cast<std::uint8_t>(second));
    record.setMinute(7);
    record.setHour(13);
    record.setDay(24);
    record.setMonth(12);
    record.setYear(2030);
    return record;
}

} // namespace

TEST(ClockUpdate, ThePcTimeIsReadWhenYesIsPressedAndNeverOnNo) {
    const struct {
        int answer;
        int reads; // of the PC's clock
    } cases[] = {{IDYES, 1}, {IDNO, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        TestApp app;
        FakeOwner owner;
        owner.Answer({1, 2, 3, 4, 5, 0xE9, 0x07}); // the device's clock
        owner.Answer({});
        int reads = 0;
        int readsWhileAsked = -1;
        app.answers = {c.answer};
        app.whileShown = [&](const std::string&) { readsWhileAsked = reads; };
        // Each read gives a later time, as a clock running while the question is open.
        RunClockUpdate(owner, [&] { return MakeTime(++reads); });

        EXPECT_EQ(readsWhileAsked, 0) << "the PC's time read before the answer";
        EXPECT_EQ(reads, c.reads);
        ASSERT_EQ(owner.requests.size(), static_cast<std::size_t>(1 + c.reads));
        if (c.reads == 1) {
            EXPECT_EQ(owner.requests[1].command, CMD_WRITE_TIME);
            const TimeRecord expected = MakeTime(1);
            EXPECT_EQ(owner.requests[1].payload,
                      std::vector<std::uint8_t>(expected.bytes.begin(), expected.bytes.end()));
        }
    }
}

TEST(ClockUpdate, LocalTimeNowIsThePcsCalendarTime) {
    // Compared with the C library's own formatting, which knows nothing of the record's fields.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::time_t before = std::time(nullptr);
        const TimeRecord now = LocalTimeNow();
        if (std::time(nullptr) != before) {
            continue; // a second passed in between: ask again
        }
        std::tm local{};
        ASSERT_TRUE(ToLocalCalendar(before, local));
        char expected[32];
        ASSERT_GT(std::strftime(expected, sizeof expected, "%Y.%m.%d %H:%M:%S", &local), 0u);
        char shown[48];
        std::snprintf(shown, sizeof shown, "%04u.%02u.%02u %02u:%02u:%02u", unsigned{now.year()},
                      unsigned{now.month()}, unsigned{now.day()}, unsigned{now.hour()},
                      unsigned{now.minute()}, unsigned{now.second()});
        EXPECT_STREQ(shown, expected);
        return;
    }
    FAIL() << "the clock never stood still for a moment";
}
