#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

int QuietApp::DoMessageBox(const std::string& text, unsigned type) {
    std::fprintf(stderr, "message box: %s (%u)\n", text.c_str(), type);
    return 1;
}

bool RunUntil(const std::function<bool()>& condition, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    QTimer wake;
    wake.start(10);
    while (!condition()) {
        if (timer.elapsed() > limitMs) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}
