#include "DeviceCommands.h"
#include "TestMessages.h"
#include "VirtualOwner.h"

#include <gtest/gtest.h>

namespace {

// A requester that notes every outcome with the virtual time it arrived.
struct Requester {
    struct Outcome {
        unsigned at;
        int command; // -1: no answer
    };
    void OnAnswer(const LinkMessage* answer) {
        outcomes.push_back({owner->now, answer != nullptr ? answer->command : -1});
    }
    VirtualOwner* owner = nullptr;
    std::vector<Outcome> outcomes;
};

constexpr CompletionFn kOnAnswer = &CompletionThunk<Requester, &Requester::OnAnswer>;

bool operator==(const Requester::Outcome& a, const Requester::Outcome& b) {
    return a.at == b.at && a.command == b.command;
}

class QueueTest : public testing::Test {
protected:
    void Submit(std::uint8_t command, Requester& requester) {
        owner.SubmitRequest(31, command, nullptr, 0, &requester, kOnAnswer);
    }
    std::vector<int> SentCommands() const {
        std::vector<int> commands;
        for (const auto& s : owner.sent) {
            commands.push_back(s.message.command);
        }
        return commands;
    }

    VirtualOwner owner;
    Requester first{&owner, {}};
    Requester second{&owner, {}};
};

TEST_F(QueueTest, OneRequestAtATimeAndOutcomesInOrder) {
    Submit(CMD_READ_VERSION, first);
    Submit(CMD_READ_TIME, second);
    EXPECT_EQ(SentCommands(), std::vector<int>{CMD_READ_VERSION});

    owner.Advance(100);
    owner.Receive(MakeMessage(CMD_READ_VERSION, {3}));
    EXPECT_EQ(SentCommands(), (std::vector<int>{CMD_READ_VERSION, CMD_READ_TIME}));
    EXPECT_TRUE(first.outcomes.empty()) << "delivered later, through command 103";
    owner.Advance(50);
    owner.Receive(MakeMessage(CMD_READ_TIME));
    owner.DeliverPosted();

    EXPECT_EQ(first.outcomes, (std::vector<Requester::Outcome>{{100, CMD_READ_VERSION}}));
    EXPECT_EQ(second.outcomes, (std::vector<Requester::Outcome>{{150, CMD_READ_TIME}}));
    EXPECT_FALSE(owner.queue.IsBusy());
    EXPECT_EQ(owner.timers.Count(), 0u);
}

// The follower gets its full 1500 ms from its own send, and a late answer is taken as its.
TEST_F(QueueTest, TimeOutCountsFromTheSendAndALateAnswerGoesToTheFollower) {
    Submit(CMD_READ_VERSION, first);
    owner.Advance(700);
    Submit(CMD_READ_TIME, second); // waits behind the first
    owner.Advance(800);            // 1500: the first times out, the second is sent
    ASSERT_EQ(owner.sent.size(), 2u);
    EXPECT_EQ(owner.sent[1].at, 1500u);
    EXPECT_EQ(first.outcomes, (std::vector<Requester::Outcome>{{1500, -1}}));

    owner.Advance(100);
    owner.Receive(MakeMessage(CMD_READ_VERSION)); // 1600: the first one's answer, too late
    owner.DeliverPosted();
    EXPECT_EQ(second.outcomes, (std::vector<Requester::Outcome>{{1600, CMD_READ_VERSION}}));

    // Without any answer a request ends exactly 1500 ms after it went out.
    Submit(CMD_READ_CONFIG, first);
    owner.Advance(1499);
    EXPECT_EQ(first.outcomes.size(), 1u);
    owner.Advance(1);
    EXPECT_EQ(first.outcomes.back(), (Requester::Outcome{3100, -1}));
}

TEST_F(QueueTest, DeviceTextGoesToTheLogAndLeavesTheRequestWaiting) {
    Submit(CMD_READ_VERSION, first);
    owner.Advance(100);
    // "Wiatr – łódź" in Windows-1250, its zero byte, and bytes after it that do not count.
    owner.Receive(MakeMessage(
        CMD_TEXT, {'W', 'i', 'a', 't', 'r', ' ', 0x96, ' ', 0xB3, 0xF3, 0x64, 0x9F, 0, 'x'}));
    owner.Receive(MakeMessage(CMD_TEXT, {'a', 'b', 'c'})); // no zero byte: its length ends it
    EXPECT_EQ(owner.log, (std::vector<std::string>{"\nWiatr – łódź", "\nabc"}));
    EXPECT_TRUE(owner.queue.IsBusy());
    owner.Advance(1399);
    EXPECT_TRUE(first.outcomes.empty()) << "its timer runs on";
    owner.Advance(1);
    EXPECT_EQ(first.outcomes, (std::vector<Requester::Outcome>{{1500, -1}}));
}

TEST_F(QueueTest, MessageWhileIdleCompletesForTheLastRequester) {
    owner.Receive(MakeMessage(CMD_READ_VERSION)); // nothing sent yet: nobody to tell
    owner.DeliverPosted();

    Submit(CMD_READ_VERSION, first);
    owner.Receive(MakeMessage(CMD_READ_VERSION));
    owner.Receive(MakeMessage(CMD_READ_TIME)); // idle now
    owner.DeliverPosted();
    EXPECT_EQ(first.outcomes,
              (std::vector<Requester::Outcome>{{0, CMD_READ_VERSION}, {0, CMD_READ_TIME}}));
    EXPECT_EQ(owner.queue.DoneCount(), 0u);
}

// A device that floods the line: one command 103 waits at a time, the answer to the request
// is kept, and of the messages that came while nothing was outstanding only the newest wait.
TEST_F(QueueTest, FloodWhileIdleKeepsTheAnswerAndOnlyTheNewestRepeats) {
    const std::size_t kExtra = CQueue::kUnsolicitedCapacity + 40;
    Submit(CMD_READ_VERSION, first);
    owner.Advance(10);
    owner.Receive(MakeMessage(CMD_READ_VERSION, {0}));
    for (std::size_t i = 1; i <= kExtra; ++i) {
        owner.Receive(MakeMessage(static_cast<std::uint8_t>(i)));
    }
    EXPECT_EQ(owner.posted, std::vector<unsigned>{ID_REQUEST_DONE});
    EXPECT_EQ(owner.queue.DoneCount(), 1 + CQueue::kUnsolicitedCapacity);
    EXPECT_EQ(owner.queue.DroppedCount(), kExtra - CQueue::kUnsolicitedCapacity);

    owner.DeliverPosted();
    ASSERT_EQ(first.outcomes.size(), 1 + CQueue::kUnsolicitedCapacity);
    EXPECT_EQ(first.outcomes.front().command, CMD_READ_VERSION);
    for (std::size_t i = 1; i < first.outcomes.size(); ++i) {
        EXPECT_EQ(first.outcomes[i].command,
                  static_cast<int>(kExtra - CQueue::kUnsolicitedCapacity + i));
    }
    EXPECT_EQ(owner.queue.DoneCount(), 0u);

    // Afterwards a request and its time-out go through as before.
    Submit(CMD_READ_TIME, second);
    owner.Advance(CQueue::kTimeoutMs);
    EXPECT_EQ(second.outcomes, (std::vector<Requester::Outcome>{{1510, -1}}));
}

TEST_F(QueueTest, RequestThatCannotGoOnTheWireEndsWithoutAnswer) {
    const std::uint8_t big[63] = {};
    owner.SubmitRequest(31, CMD_WRITE_CONFIG, big, sizeof big, &first, kOnAnswer);
    owner.DeliverPosted();
    EXPECT_TRUE(owner.sent.empty());
    EXPECT_EQ(first.outcomes, (std::vector<Requester::Outcome>{{0, -1}}));
    EXPECT_FALSE(owner.queue.IsBusy());
}

} // namespace
