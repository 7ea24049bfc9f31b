#pragma once

#include "DeviceCommands.h"
#include "DeviceOperationOwner.h"
#include "DeviceRecords.h"

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

// A device behind the operations' owner: answers the version and the three records' reads and
// writes from its memory, and falls silent once its answers run out.
class FakeDevice : public IDeviceOperationOwner {
public:
    void AppendLog(const std::string& text, bool newLine) override {
        if (newLine || log.empty()) {
            log.push_back(text);
        } else {
            log.back() += text;
        }
    }

    const LinkMessage* RunRequest(std::uint8_t command, const std::uint8_t* payload,
                                  std::uint8_t length) override {
        commands.push_back(command);
        if (answersLeft == 0) {
            return nullptr;
        }
        --answersLeft;
        m_answer = LinkMessage{};
        m_answer.command = command;
        for (const RecordKind kind : kAllRecords) {
            const RecordInfo& info = InfoOf(kind);
            const auto bytes = BytesOf(memory, kind);
            if (command == info.writeCommand) {
                std::copy_n(payload, std::min<std::size_t>(length, bytes.size()), bytes.begin());
                if (kind == ignoredWrite) {
                    BytesOf(memory, kind)[0] ^= 0xFF;
                }
            } else if (command == info.readCommand) {
                std::copy(bytes.begin(), bytes.end(), m_answer.payload);
                m_answer.length = static_cast<std::uint8_t>(bytes.size());
            }
        }
        if (command == CMD_READ_VERSION) {
            const char text[] = "\x03QAL-1P";
            std::copy(std::begin(text), std::end(text), m_answer.payload);
            m_answer.length = sizeof text;
        }
        return &m_answer;
    }

    DeviceRecords memory;
    int answersLeft = 1000;
    // A write of this record lands changed (a device that does not keep what it was sent).
    std::optional<RecordKind> ignoredWrite;
    std::vector<std::uint8_t> commands;
    std::vector<std::string> log;

private:
    LinkMessage m_answer;
};

inline DeviceRecords RandomRecords(std::mt19937& random) {
    DeviceRecords records;
    for (const RecordKind kind : kAllRecords) {
        for (std::uint8_t& byte : BytesOf(records, kind)) {
            byte = static_cast<std::uint8_t>(random());
        }
    }
    return records;
}
