#include "WidgetTestSupport.h"

#include "CDialog.h"
#include "ResourceIds.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

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

// Looks from the running loop every few milliseconds instead of from a nested loop of its own:
// the window it waits for may come only after another modal loop (the wait dialog's) has ended.
void WhenModalOpens(const char* title, std::function<void(QWidget&)> action) {
    auto* poll = new QTimer(QCoreApplication::instance()); // the application owns it until done
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(
        poll, &QTimer::timeout,
        [poll, started, action = std::move(action), wanted = QString::fromUtf8(title)] {
            QWidget* modal = QApplication::activeModalWidget();
            const bool open =
                modal != nullptr && modal->isVisible() && modal->windowTitle() == wanted;
            if (!open && started->elapsed() < 5000) {
                return;
            }
            poll->stop();
            poll->deleteLater();
            if (!open) {
                ADD_FAILURE() << "no window \"" << wanted.toStdString() << "\" opened";
                return;
            }
            action(*modal);
        });
    poll->start(5);
}

void RunInModalLoop(CDialog& dialog, const std::function<void()>& body) {
    bool ran = false;
    QTimer start;
    start.setInterval(5);
    QObject::connect(&start, &QTimer::timeout, [&] {
        QDialog* window = dialog.GetWindow();
        if (window == nullptr || QApplication::activeModalWidget() != window ||
            !window->isVisible()) {
            return; // not yet in its own loop
        }
        start.stop();
        ran = true;
        body();
        // A box or dialog that a failed step left open would keep the modal run going.
        for (int tries = 0; tries < 10; ++tries) {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal == window) {
                break;
            }
            ADD_FAILURE() << "left open: \"" << modal->windowTitle().toStdString() << "\"";
            modal->close();
            QApplication::processEvents();
        }
        dialog.EndDialog(IDCANCEL);
    });
    start.start();
    (void)dialog.DoModal(); // how it ended is the test's business
    EXPECT_TRUE(ran) << "the window's modal loop never ran";
}

void ClickAsUser(QWidget& widget) {
    QWidget* window = widget.window();
    if (window->windowHandle() == nullptr) {
        ADD_FAILURE() << "no window to click in";
        return;
    }
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      widget.mapTo(window, widget.rect().center()));
}

void KeyAsUser(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    if (window.windowHandle() == nullptr) {
        ADD_FAILURE() << "no window to type in";
        return;
    }
    QTest::keyClick(window.windowHandle(), key, modifiers);
}

CUnexpectedModals::CUnexpectedModals(std::string what) : m_what(std::move(what)) {
    QObject::connect(&m_poll, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        ADD_FAILURE() << m_what << ": \"" << modal->windowTitle().toStdString() << "\" opened";
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    });
    m_poll.start(10);
}
