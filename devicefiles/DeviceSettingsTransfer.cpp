#include "DeviceSettingsTransfer.h"

#include "AnswerCheck.h"
#include "DeviceCommands.h"
#include "Windows1250.h"

#include <algorithm>

namespace {

bool ReadRecord(IDeviceOperationOwner& owner, RecordKind kind, std::span<std::uint8_t> into) {
    const RecordInfo& info = InfoOf(kind);
    owner.AppendLog(info.readLog, true);
    const LinkMessage* answer = owner.RunRequest(info.readCommand, nullptr, 0);
    if (answer == nullptr || !AnswerHolds(owner, *answer, into.size())) {
        return false;
    }
    std::copy_n(answer->payload, into.size(), into.begin());
    return true;
}

std::string Names(const std::vector<RecordKind>& records) {
    std::string text;
    for (const RecordKind kind : records) {
        text += (text.empty() ? "" : ", ") + std::string(InfoOf(kind).name);
    }
    return text;
}

} // namespace

bool ReadDeviceVersion(IDeviceOperationOwner& owner, std::string& text, int& number) {
    owner.AppendLog("Odczyt wersji", true);
    const LinkMessage* answer = owner.RunRequest(CMD_READ_VERSION, nullptr, 0);
    if (answer == nullptr || !AnswerHolds(owner, *answer, 1)) {
        return false;
    }
    number = answer->payload[0];
    text = DecodeDeviceText(answer->payload + 1, answer->length - 1u);
    return true;
}

bool ReadDeviceRecords(IDeviceOperationOwner& owner, DeviceRecords& records) {
    return std::all_of(kAllRecords.begin(), kAllRecords.end(), [&](RecordKind kind) {
        return ReadRecord(owner, kind, BytesOf(records, kind));
    });
}

RestoreOutcome RestoreRecords(IDeviceOperationOwner& owner, const DeviceRecords& target,
                              const std::vector<RecordKind>& records) {
    RestoreOutcome outcome;
    bool silent = false;
    for (const RecordKind kind : records) {
        if (silent) {
            outcome.notWritten.push_back(kind);
            continue;
        }
        const RecordInfo& info = InfoOf(kind);
        const auto bytes = BytesOf(target, kind);
        owner.AppendLog(info.writeLog, true);
        // Any answer means the write was done; its content says nothing more.
        if (owner.RunRequest(info.writeCommand, bytes.data(),
                             static_cast<std::uint8_t>(bytes.size())) == nullptr) {
            outcome.unanswered.push_back(kind);
            silent = true;
            continue;
        }
        DeviceRecords readBack;
        const auto readBytes = BytesOf(readBack, kind);
        if (!ReadRecord(owner, kind, readBytes)) {
            outcome.notVerified.push_back(kind);
            silent = true;
            continue;
        }
        if (std::equal(bytes.begin(), bytes.end(), readBytes.begin())) {
            outcome.verified.push_back(kind);
        } else {
            outcome.notVerified.push_back(kind);
        }
    }
    for (const std::string& line : DescribeOutcome(outcome)) {
        owner.AppendLog(line, true);
    }
    return outcome;
}

std::vector<std::string> DescribeOutcome(const RestoreOutcome& outcome) {
    std::vector<std::string> lines;
    if (!outcome.verified.empty()) {
        lines.push_back("Zapisano i sprawdzono: " + Names(outcome.verified));
    }
    if (!outcome.notVerified.empty()) {
        lines.push_back("Zapisano, ale odczyt nie potwierdził zapisu: " +
                        Names(outcome.notVerified));
    }
    if (!outcome.unanswered.empty()) {
        lines.push_back("Urządzenie nie odpowiedziało na zapis (nie wiadomo, czy zapisano): " +
                        Names(outcome.unanswered));
    }
    if (!outcome.notWritten.empty()) {
        lines.push_back("Nie zapisano: " + Names(outcome.notWritten));
    }
    return lines;
}
