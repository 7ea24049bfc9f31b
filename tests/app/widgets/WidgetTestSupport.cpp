#include "WidgetTestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>

int TestApp::DoMessageBox(const std::string& text, unsigned type) {
    shown.push_back({text, type});
    if (answers.empty()) {
        return 1;
    }
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

void TempAppDir::WriteConfig(const std::vector<unsigned char>& bytes) const {
    std::ofstream file(ConfigPath(), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good());
}

std::vector<unsigned char> TempAppDir::ReadConfig() const {
    std::ifstream file(ConfigPath(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool ProcessEventsUntil(const std::function<bool()>& condition) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > 5000) {
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

std::vector<std::string> LogLines(const CTerminalDlg& dialog) {
    std::vector<std::string> lines;
    const std::string& text = dialog.Log().Text();
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) {
            return lines;
        }
        start = end + 2;
    }
}

std::vector<unsigned char> SettingsBytes(int port, int baudRate, int address) {
    std::vector<unsigned char> bytes;
    for (const int value : {port, baudRate, address}) {
        const auto bits = static_cast<unsigned>(value);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<unsigned char>(bits >> shift));
        }
    }
    return bytes;
}
