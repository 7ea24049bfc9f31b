#include "AnswerCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class LogOnlyOwner : public IDeviceOperationOwner {
public:
    void AppendLog(const std::string& text, bool) override { log.push_back(text); }
    const LinkMessage* RunRequest(std::uint8_t, const std::uint8_t*, std::uint8_t) override {
        return nullptr;
    }
    std::vector<std::string> log;
};

} // namespace

TEST(AnswerCheck, ShortAnswerIsLoggedInCorrectPolish) {
    const struct {
        std::uint8_t length;
        std::size_t needed;
        const char* logged; // empty: the answer holds
    } cases[] = {
        {0, 1, "Za krótka odpowiedź urządzenia: 0 z 1 bajtu"},
        {1, 2, "Za krótka odpowiedź urządzenia: 1 z 2 bajtów"},
        {6, 7, "Za krótka odpowiedź urządzenia: 6 z 7 bajtów"},
        {25, 26, "Za krótka odpowiedź urządzenia: 25 z 26 bajtów"},
        {7, 7, ""},
    };
    for (const auto& c : cases) {
        LogOnlyOwner owner;
        LinkMessage answer{};
        answer.length = c.length;
        EXPECT_EQ(AnswerHolds(owner, answer, c.needed), *c.logged == '\0') << c.needed;
        EXPECT_EQ(owner.log, *c.logged == '\0' ? std::vector<std::string>{}
                                               : std::vector<std::string>{c.logged});
    }
}
