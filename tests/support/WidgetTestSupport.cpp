#include "WidgetTestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

int TestApp::DoMessageBox(const std::string& text, unsigned type) {
    shown.push_back({text, type});
    if (whileShown) {
        whileShown(text);
    }
    if (answers.empty()) {
        return 1;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ProcessEventsUntil(const std::function<bool()>& condition, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > limitMs) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void WhenModalOpens(std::function<void(QWidget&)> action, QWidget* except) {
    QTimer::singleShot(0, [action = std::move(action), except] {
        QWidget* modal = nullptr;
        const bool opened = ProcessEventsUntil([&] {
            modal = QApplication::activeModalWidget();
            return modal != nullptr && modal != except && modal->isVisible();
        });
        ASSERT_TRUE(opened) << "no modal window opened";
        action(*modal);
    });
}
