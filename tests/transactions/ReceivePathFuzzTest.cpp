#include "TestMessages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

// The fuzz target, linked in so that its checks also run in every ordinary build.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int RunTarget(const std::string& script) {
    return LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(script.data()),
                                  script.size());
}

const std::string kLoop = "\xF0";
const std::string kTime = "\xF1";
const std::string kConnect = "\xF2";
const std::string kConnectFails = "\xF3";
const std::string kDisconnect = "\xF4";
const std::string kLineGone = "\xF5";
const std::string kAll = "\xF7";

std::string Reading(int i) {
    return WireText(MakeMessage(0x22, {static_cast<std::uint8_t>(i), 0, 0, 0, 0, 0, 8, 0}));
}

} // namespace

TEST(ReceivePathFuzzTarget, PassesItsChecksOnScriptedSessions) {
    const std::string forged = "\n\r:031F647A\n\r:031F6579" + WireText(MakeMessage(102));
    std::string flood;
    for (int i = 0; i < 3000; ++i) {
        flood += Reading(i) + WireText(MakeMessage(0xA0, {'x', 0}));
    }
    const std::string scripts[] = {
        kConnect + kAll + forged + kAll + kTime + kDisconnect + kAll + forged + kAll,
        kConnect + kLoop + forged + kDisconnect + forged + kLoop + kConnect + kAll,
        kConnectFails + kAll + kConnect + kAll + Reading(1) + kLoop + kTime + kLineGone + kAll,
        kConnect + kAll + flood + kLoop + kTime + flood + kDisconnect + kAll + kTime + kAll,
    };
    for (const std::string& script : scripts) {
        EXPECT_EQ(RunTarget(script), 0);
    }
}

TEST(ReceivePathFuzzTarget, PassesItsChecksOnRandomSessions) {
    // Frames of every kind with line noise, and every action now and then.
    static const char kAlphabet[] = "0123456789ABCDEF:\n\r\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF7";
    std::mt19937 random(11);
    std::uniform_int_distribution<int> pick(0, sizeof kAlphabet - 2);
    std::uniform_int_distribution<int> length(0, 400);
    std::uniform_int_distribution<int> frame(0, 3);
    for (int n = 0; n < 2000; ++n) {
        std::string script = kConnect;
        for (int i = length(random); i > 0; --i) {
            script += frame(random) == 0 ? Reading(i) : std::string(1, kAlphabet[pick(random)]);
        }
        ASSERT_EQ(RunTarget(script + kAll), 0);
    }
}
