#include <QApplication>
#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace {

// Ends the run when one test takes longer than its limit (a dialog left open waits forever), also
// when the binary is run by hand rather than by ctest, whose own limit is the same.
class CTestWatchdog : public testing::EmptyTestEventListener {
public:
    explicit CTestWatchdog(std::chrono::seconds limit)
        : m_limit(limit), m_thread([this] { Watch(); }) {}
    ~CTestWatchdog() override {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    CTestWatchdog(const CTestWatchdog&) = delete;
    CTestWatchdog& operator=(const CTestWatchdog&) = delete;

    void OnTestStart(const testing::TestInfo& test) override {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_test = std::string(test.test_suite_name()) + "." + test.name();
        m_deadline = std::chrono::steady_clock::now() + m_limit;
        m_running = true;
        m_wake.notify_one();
    }
    void OnTestEnd(const testing::TestInfo&) override {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_running = false;
    }

private:
    void Watch() {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop) {
            if (!m_running) {
                m_wake.wait(lock);
            } else if (m_wake.wait_until(lock, m_deadline) == std::cv_status::timeout &&
                       m_running && std::chrono::steady_clock::now() >= m_deadline) {
                std::fprintf(stderr, "%s: still running after %lld s, stopped\n", m_test.c_str(),
                             static_cast<long long>(m_limit.count()));
                std::fflush(stderr);
                std::_Exit(1);
            }
        }
    }

    const std::chrono::seconds m_limit;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_running = false;
    std::string m_test;
    std::chrono::steady_clock::time_point m_deadline;
    std::thread m_thread; // last: starts once the members above exist
};

} // namespace

// Widget tests run without a display, and no platform theme may bring native dialogs that could
// hang a run.
int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        (void)qputenv("QT_QPA_PLATFORM", "offscreen"); // fails only without memory
    }
    (void)qunsetenv("QT_QPA_PLATFORMTHEME");
    QApplication application(argc, argv);
#if defined(_WIN32)
    // Wine's loader can crash or hang when a library with thread-local storage is loaded while
    // another thread ends, and Qt's timers start and end such threads all the time. The style
    // loads the image plugins on its first checkable frame, in the middle of a test: load them
    // all now, while no thread comes or goes. Bytes of no format make the reader ask every one.
    (void)QImage::fromData(QByteArray(1, '\0')); // a null image is the expected answer
#endif
    testing::InitGoogleTest(&argc, argv);
    // The listener list owns what it is given; it outlives RUN_ALL_TESTS.
    testing::UnitTest::GetInstance()->listeners().Append(
        new CTestWatchdog(std::chrono::seconds(60)));
    return RUN_ALL_TESTS();
}
