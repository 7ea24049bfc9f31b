#pragma once

#include "CDialog.h"
#include "DeviceOperationOwner.h"
#include "WidgetTestSupport.h"

#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Stands in for the main window: records the log and the requests, and answers each request
// from a script (no answer once the script runs out).
class FakeOwner : public IDeviceOperationOwner {
public:
    struct Request {
        std::uint8_t command;
        std::vector<std::uint8_t> payload;
    };

    void AppendLog(const std::string& text, bool newLine) override;
    const LinkMessage* RunRequest(std::uint8_t command, const std::uint8_t* payload,
                                  std::uint8_t length) override;

    // Queues an answer carrying these payload bytes, or no answer at all.
    void Answer(const std::vector<std::uint8_t>& payload);
    void NoAnswer() { answers.push_back(std::nullopt); }

    std::vector<std::string> log;
    std::vector<Request> requests;
    std::deque<std::optional<LinkMessage>> answers;

private:
    LinkMessage m_lastAnswer;
};

// A control of a dialog window by its id; fails the test when it is missing or of another kind.
template <typename Widget> Widget& Control(QWidget& window, int id) {
    auto* widget = window.findChild<Widget*>(QStringLiteral("control_%1").arg(id));
    if (widget == nullptr) {
        ADD_FAILURE() << "no control " << id << " of the expected kind";
        std::abort(); // a test that names a wrong control cannot go on
    }
    return *widget;
}

// Replaces an edit's text as a user would: select everything, then type.
void TypeInto(QWidget& window, int id, const std::string& text);
// Types the characters into the widget, one key press each.
void TypeText(QWidget& widget, const QString& text);

// The id of the control that has the window's focus, 0 when none.
int FocusedId(QWidget& window);

// While it lives, closes (as Esc would) and counts every modal dialog that opens: for
// operations that must not open their dialog, so that a test fails instead of hanging.
class ModalWatch {
public:
    ModalWatch();
    int Opened() const { return *m_opened; }

private:
    std::shared_ptr<int> m_opened = std::make_shared<int>(0);
    std::unique_ptr<QTimer> m_timer;
};
