#include "CliSettingsCommands.h"

#include "CliCommandSupport.h"
#include "CliOutput.h"
#include "CliSettingsOutput.h"
#include "DeviceSettingsTransfer.h"
#include "ProgramVersion.h"
#include "SettingsComparison.h"
#include "SettingsFileJson.h"
#include "UiText.h"

#include <QFile>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <optional>

#if !defined(_WIN32)
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

// The device operations' owner for a program without windows: requests go through the session;
// the operations' progress lines are not shown, the last one says where a failure happened.
class CCliDeviceOwner final : public IDeviceOperationOwner {
public:
    explicit CCliDeviceOwner(CCliSession& session) : m_session(session) {}

    const LinkMessage* RunRequest(std::uint8_t command, const std::uint8_t* payload,
                                  std::uint8_t length) override {
        m_answer = m_session.Request(command, payload, length);
        return m_answer ? &*m_answer : nullptr;
    }
    void AppendLog(const std::string& text, bool newLine) override {
        (void)newLine;
        m_lastLog = text;
    }
    const std::string& LastLog() const { return m_lastLog; }

private:
    CCliSession& m_session;
    std::optional<LinkMessage> m_answer;
    std::string m_lastLog;
};

std::uint8_t Address(const CliRun& run) {
    return static_cast<std::uint8_t>(run.settings.deviceAddress);
}

// The settings file named on the command line; nothing (after its message) when the format
// refuses it or it cannot be read.
std::optional<SettingsSnapshot> LoadFile(const std::string& path) {
    const SettingsRead read = LoadSettingsFile(QFile::decodeName(path.c_str()));
    if (!read.snapshot) {
        Error(path + ": " + read.error);
    }
    return read.snapshot;
}

enum class Answer { Yes, No, NoInput };

#if defined(_WIN32)
std::optional<std::string> ReadAnswerLine(int stopFd, bool& stopped) {
    (void)stopFd; // Ctrl+C ends the program there
    stopped = false;
    std::string line;
    return std::getline(std::cin, line) ? std::optional<std::string>(line) : std::nullopt;
}
#else
// One line of standard input, or nothing at its end or when the user asks to stop. The stop
// pipe is watched too, since the signal handler lets a plain read go on waiting.
std::optional<std::string> ReadAnswerLine(int stopFd, bool& stopped) {
    constexpr std::size_t kMaxLine = 256;
    std::string line;
    stopped = false;
    for (;;) {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {stopFd, POLLIN, 0}};
        if (::poll(fds, stopFd >= 0 ? 2 : 1, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (stopFd >= 0 && (fds[1].revents & POLLIN) != 0) {
            stopped = true;
            return std::string(); // no
        }
        char c = 0;
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return line.empty() ? std::nullopt : std::optional<std::string>(line);
        }
        if (c == '\n') {
            return line;
        }
        if (line.size() < kMaxLine) {
            line += c;
        }
    }
}
#endif

// Asks on standard error and reads one line from standard input; a stop request (Ctrl+C)
// counts as no.
Answer AskYes(const std::string& question, int stopFd) {
    std::fputs(("qal-cli: " + UiTextUtf8(question) + " [y/N] ").c_str(), stderr);
    std::fflush(stderr);
    bool stopped = false;
    const std::optional<std::string> line = ReadAnswerLine(stopFd, stopped);
#if !defined(_WIN32)
    // A terminal echoes the answer with its line break; otherwise the question's line ends here.
    if (!line || stopped || ::isatty(STDIN_FILENO) == 0) {
        std::fputs("\n", stderr);
    }
#endif
    if (!line) {
        return Answer::NoInput;
    }
    std::string word;
    for (const char c : *line) {
        if (!std::isspace(static_cast<unsigned char>(c))) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return word == "y" || word == "yes" ? Answer::Yes : Answer::No;
}

// Opens the link and reads the three records; the exit status when that failed.
std::optional<int> ReadRecords(CCliSession& session, const CliRun& run, DeviceRecords& records) {
    if (!Open(session, run)) {
        return kExitNoAnswer;
    }
    CCliDeviceOwner owner(session);
    if (!ReadDeviceRecords(owner, records)) {
        return NoAnswer(run, "settings", owner.LastLog());
    }
    return std::nullopt;
}

} // namespace

int RunSave(const CliRun& run) {
    const std::string& path = run.arguments->files[0];
    CCliSession session(run.target, Address(run));
    if (!Open(session, run)) {
        return kExitNoAnswer;
    }
    CCliDeviceOwner owner(session);
    SettingsSnapshot snapshot;
    if (!ReadDeviceVersion(owner, snapshot.deviceVersionText, snapshot.deviceVersion)) {
        return NoAnswer(run, "version", owner.LastLog());
    }
    if (!ReadDeviceRecords(owner, snapshot.records)) {
        return NoAnswer(run, "settings", owner.LastLog());
    }
    session.Disconnect();
    snapshot.savedAt = SavedAtNow();
    snapshot.programVersion = kTerminalVersion;
    snapshot.port = PortName(run);
    snapshot.baudRate = run.settings.baudRate;
    snapshot.address = run.settings.deviceAddress & 0xFF;
    std::string error;
    if (!SaveSettingsFile(QFile::decodeName(path.c_str()), snapshot, error)) {
        Error(path + ": " + error);
        return kExitFile;
    }
    const unsigned serial = snapshot.records.config.serialNumber();
    if (run.arguments->json) {
        Out("{\"file\":" + JsonText(path) + ",\"serialNumber\":" + std::to_string(serial) +
            ",\"version\":{\"number\":" + std::to_string(snapshot.deviceVersion) +
            ",\"text\":" + JsonText(snapshot.deviceVersionText) +
            "},\"savedAt\":" + JsonText(snapshot.savedAt) + "}");
    } else {
        Out("saved the settings of sensor " + std::to_string(serial) + " (" +
            snapshot.deviceVersionText + ", version " + std::to_string(snapshot.deviceVersion) +
            ") to " + path);
    }
    return kExitDone;
}

int RunDiff(const CliRun& run) {
    const std::string& path = run.arguments->files[0];
    const auto file = LoadFile(path);
    if (!file) {
        return kExitFile; // before anything is sent
    }
    CCliSession session(run.target, Address(run));
    DeviceRecords device;
    if (const auto failed = ReadRecords(session, run, device)) {
        return *failed;
    }
    session.Disconnect();
    const SettingsComparison comparison = CompareSettings(device, file->records);
    if (run.arguments->json) {
        Out(DiffJson(path, comparison));
    } else {
        for (const std::string& line : DiffLines(comparison)) {
            Out(line);
        }
    }
    return kExitDone;
}

int RunRestore(const CliRun& run) {
    const CliArguments& args = *run.arguments;
    const std::string& path = args.files[0];
    const auto file = LoadFile(path);
    if (!file) {
        return kExitFile; // before anything is sent
    }
    CCliSession session(run.target, Address(run));
    DeviceRecords device;
    if (const auto failed = ReadRecords(session, run, device)) {
        return *failed;
    }
    const SettingsComparison comparison = CompareSettings(device, file->records);
    if (comparison.serialsDiffer && !args.clone) {
        // The first row is the sensor's serial number.
        Error(path + " is from another sensor (serial number " + comparison.fields[0].fileValue +
              ", this device " + comparison.fields[0].deviceValue +
              "); nothing written. With --clone, everything but the serial numbers and the "
              "production year is copied.");
        return kExitFile;
    }
    if (!args.json) {
        for (const std::string& line : DiffLines(comparison)) {
            Out(line);
        }
    }
    const auto& toWrite = comparison.recordsToWrite;
    bool confirmed = true;
    if (!toWrite.empty() && !args.yes) {
        const Answer answer =
            AskYes("write " + RecordKeys(toWrite) + " to the device on " + PortName(run) + "?",
                   run.stopFd);
        if (answer == Answer::NoInput) {
            Error("no answer on standard input (use --yes to restore without asking); "
                  "nothing written");
            return kExitUsage;
        }
        confirmed = answer == Answer::Yes;
    }
    RestoreOutcome outcome;
    if (confirmed && !toWrite.empty()) {
        CCliDeviceOwner owner(session);
        outcome = RestoreRecords(owner, comparison.target, toWrite);
    }
    session.Disconnect();
    if (args.json) {
        Out(RestoreJson(path, comparison.serialsDiffer, toWrite, confirmed, outcome));
    } else {
        for (const std::string& line : RestoreLines(outcome)) {
            Out(line);
        }
    }
    if (!confirmed) {
        Error("nothing written");
        return kExitDone;
    }
    if (!outcome.notVerified.empty()) {
        Error("a record read back after the restore is not as written: " +
              RecordKeys(outcome.notVerified));
        return kExitNotVerified;
    }
    if (!outcome.Succeeded()) {
        return NoAnswer(run, "write");
    }
    return kExitDone;
}
