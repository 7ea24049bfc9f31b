#include "VirtualOwner.h"

#include <gtest/gtest.h>

namespace {

struct Counter {
    void Fire(int parameter) { fired.push_back(parameter); }
    std::vector<int> fired;
};

constexpr TimerFn kFire = &TimerThunk<Counter, &Counter::Fire>;

TEST(TimerTable, TimersFireOnceUnlessStoppedAndAreFoundByAllThreeValues) {
    VirtualOwner owner;
    Counter a;
    Counter b;
    owner.StartTimer(&a, kFire, 100, 1);
    owner.StartTimer(&a, kFire, 200, 1); // the same three values: both stop together
    owner.StartTimer(&a, kFire, 150, 2);
    owner.StartTimer(&b, kFire, 150, 1);

    EXPECT_TRUE(owner.IsTimerPending(&a, kFire, 1));
    EXPECT_FALSE(owner.IsTimerPending(&a, kFire, 3)) << "another parameter";
    EXPECT_FALSE(owner.IsTimerPending(&a, nullptr, 1)) << "another callback";

    owner.StopTimers(&a, kFire, 1);
    EXPECT_FALSE(owner.IsTimerPending(&a, kFire, 1));
    owner.Advance(1000);
    EXPECT_EQ(a.fired, std::vector<int>{2});
    EXPECT_EQ(b.fired, std::vector<int>{1});
    EXPECT_EQ(owner.timers.Count(), 0u);
    EXPECT_TRUE(owner.due.empty()) << "every window timer was killed";

    // A tick for a timer that is gone only kills its window timer.
    owner.timers.OnTimer(12345);
    EXPECT_EQ(owner.timers.Count(), 0u);
}

// A callback that starts a timer of its own from inside the tick.
struct Restarter {
    void Fire(int parameter) {
        fired.push_back(parameter);
        if (parameter < 3) {
            owner->StartTimer(this, &TimerThunk<Restarter, &Restarter::Fire>, 10, parameter + 1);
        }
    }
    VirtualOwner* owner = nullptr;
    std::vector<int> fired;
};

TEST(TimerTable, CallbackMayStartANewTimerWhileItsOwnIsRemoved) {
    VirtualOwner owner;
    Restarter restarter{&owner, {}};
    owner.StartTimer(&restarter, &TimerThunk<Restarter, &Restarter::Fire>, 10, 1);
    owner.Advance(15);
    EXPECT_EQ(owner.timers.Count(), 1u) << "the fired entry is gone, the new one waits";
    owner.Advance(100);
    EXPECT_EQ(restarter.fired, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(owner.timers.Count(), 0u);
}

} // namespace
