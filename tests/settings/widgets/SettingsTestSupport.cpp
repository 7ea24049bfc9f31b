#include "SettingsTestSupport.h"

#include "ResourceIds.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <algorithm>

void FakeOwner::AppendLog(const std::string& text, bool newLine) {
    log.push_back(newLine ? text : "+" + text);
}

const LinkMessage* FakeOwner::RunRequest(std::uint8_t command, const std::uint8_t* payload,
                                         std::uint8_t length) {
    requests.push_back({command, std::vector<std::uint8_t>(payload, payload + length)});
    if (answers.empty()) {
        return nullptr;
    }
    const std::optional<LinkMessage> answer = answers.front();
    answers.pop_front();
    if (!answer) {
        return nullptr;
    }
    m_lastAnswer = *answer;
    m_lastAnswer.command = command;
    return &m_lastAnswer;
}

void FakeOwner::Answer(const std::vector<std::uint8_t>& payload) {
    LinkMessage message;
    message.length = static_cast<std::uint8_t>(payload.size());
    message.address = 31;
    std::copy(payload.begin(), payload.end(), message.payload);
    answers.push_back(message);
}

void TypeInto(QWidget& window, int id, const std::string& text) {
    auto& edit = Control<QLineEdit>(window, id);
    edit.setFocus();
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Delete);
    TypeText(edit, QString::fromStdString(text));
}

void TypeText(QWidget& widget, const QString& text) {
    // QTest's key clicks know ASCII only; a key event that carries its text types anything.
    for (const uint c : text.toUcs4()) {
        const QString character = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, character);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, character);
        QApplication::sendEvent(&widget, &press);
        QApplication::sendEvent(&widget, &release);
    }
}

int FocusedId(QWidget& window) {
    const QWidget* focused = window.focusWidget();
    return focused == nullptr ? 0 : focused->property("controlId").toInt();
}

ModalWatch::ModalWatch() : m_timer(std::make_unique<QTimer>()) {
    m_timer->setInterval(10);
    QObject::connect(m_timer.get(), &QTimer::timeout, [opened = m_opened] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ++*opened;
            dialog->reject();
        }
    });
    m_timer->start();
}
