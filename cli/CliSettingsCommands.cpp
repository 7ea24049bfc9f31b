#include "CliSettingsCommands.h"

#include "CliCommandSupport.h"
#include "CliOutput.h"
#include "CliSettingsOutput.h"
#include "ConsoleStream.h"
#include "DeviceSettingsTransfer.h"
#include "ProgramVersion.h"
#include "RegularFile.h"
#include "SettingsComparison.h"
#include "SettingsFileJson.h"
#include "Utf8Path.h"

#include <QString>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <optional>

#if defined(_WIN32)
#include <iostream>
#endif

#if !defined(_WIN32)
#include <unistd.h>

#include <cerrno>
#endif

namespace {

// The device operations' owner for a program without windows: requests go through the session;
// the operations' progress lines (in the window's language) are not shown. What came to the
// last request tells why an operation failed.
class CCliDeviceOwner final : public IDeviceOperationOwner {
public:
    explicit CCliDeviceOwner(CCliSession& session) : m_session(session) {}

    const LinkMessage* RunRequest(std::uint8_t command, const std::uint8_t* payload,
                                  std::uint8_t length) override {
        m_answer = m_session.Request(command, payload, length);
        return m_answer ? &*m_answer : nullptr;
    }
    void AppendLog(const std::string&, bool) override {}

    // After a failed operation: the length of the answer that was too short; none when no answer
    // came.
    std::optional<int> ShortAnswer() const {
        return m_answer ? std::optional<int>(m_answer->length) : std::nullopt;
    }

private:
    CCliSession& m_session;
    std::optional<LinkMessage> m_answer;
};

std::uint8_t Address(const CliRun& run) {
    return static_cast<std::uint8_t>(run.settings.deviceAddress);
}

// The settings file named on the command line, or standard input for "-"; nothing (after its
// message, with the exit status in status) when it cannot be read or the format refuses it.
std::optional<SettingsSnapshot> LoadFile(const CliRun& run, const std::string& path, int& status) {
    SettingsRead read;
    if (path == "-") {
        bool stopped = false;
        const auto data = ReadStandardInput(run, kMaxSettingsFileSize + 1, stopped);
        if (stopped) {
            status = Stopped(run);
            return std::nullopt;
        }
        if (!data) {
            Error("cannot read standard input");
            status = kExitFile;
            return std::nullopt;
        }
        read = SettingsFromFileData(QByteArray::fromStdString(*data));
    } else {
        read = LoadSettingsFile(QString::fromStdString(path)); // UTF-8, also on Windows
    }
    if (!read.snapshot) {
        Error((path == "-" ? std::string("standard input") : path) + ": " +
              SettingsProblemEnglish(read.problem));
        status = kExitFile;
    }
    return read.snapshot;
}

enum class Answer { Yes, No, NoInput, Stopped };

#if defined(_WIN32)
// One line of standard input, or nothing at its end; Ctrl+C (which the console handler turns
// into a stop request) ends the read.
std::optional<std::string> ReadAnswerLine(const CliRun& run, bool& stopped) {
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    // A read that Ctrl+C ended may return before the handler has run.
    stopped = run.stop != nullptr && run.stop->WaitFor(std::chrono::milliseconds(read ? 0 : 200));
    if (stopped) {
        return std::nullopt;
    }
    return read ? std::optional<std::string>(line) : std::nullopt;
}
#else
// One line of standard input, or nothing at its end or when the user asks to stop. The stop
// pipe is watched too, since the signal handler lets a plain read go on waiting.
std::optional<std::string> ReadAnswerLine(const CliRun& run, bool& stopped) {
    constexpr std::size_t kMaxLine = 256;
    std::string line;
    stopped = false;
    for (;;) {
        switch (WaitForStandardInput(run)) {
        case InputWait::Ready:
            break;
        case InputWait::Stopped:
            stopped = true;
            return std::nullopt;
        case InputWait::Failed:
            return std::nullopt;
        }
        char c = 0;
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
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

// Asks on standard error and reads one line from standard input. Only y or yes is yes: an empty
// line (Enter) is the default, no.
Answer AskYes(const std::string& question, const CliRun& run) {
    (void)WriteToStream(stderr, "qal-cli: " + question + " [y/N] "); // the answer decides
    bool stopped = false;
    const std::optional<std::string> line = ReadAnswerLine(run, stopped);
#if !defined(_WIN32)
    // A terminal echoes the answer with its line break; otherwise the question's line ends here.
    if (!line || ::isatty(STDIN_FILENO) == 0) {
        (void)WriteToStream(stderr, "\n");
    }
#endif
    if (stopped) {
        return Answer::Stopped;
    }
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
    if (const int status = Open(session, run); status != kExitDone) {
        return status;
    }
    CCliDeviceOwner owner(session);
    if (!ReadDeviceRecords(owner, records)) {
        return NoAnswer(run, "settings", owner.ShortAnswer());
    }
    return std::nullopt;
}

// The settings file on standard output, as a file would hold it.
bool WriteToStandardOutput(const QByteArray& json) {
    return WriteToStream(stdout, json.toStdString());
}

} // namespace

int RunSave(const CliRun& run) {
    const std::string& path = run.arguments->files[0];
    // Refused before the device is asked: a pipe, device or folder never becomes a file.
    std::error_code refusal;
    if (path != "-" && !IsRegularOrAbsent(PathFromUtf8(path), refusal)) {
        Error("cannot write " + path + ": " + refusal.message());
        return kExitFile;
    }
    CCliSession session(run.target, Address(run));
    if (const int status = Open(session, run); status != kExitDone) {
        return status;
    }
    CCliDeviceOwner owner(session);
    SettingsSnapshot snapshot;
    if (!ReadDeviceVersion(owner, snapshot.deviceVersionText, snapshot.deviceVersion)) {
        return NoAnswer(run, "version", owner.ShortAnswer());
    }
    if (!ReadDeviceRecords(owner, snapshot.records)) {
        return NoAnswer(run, "settings", owner.ShortAnswer());
    }
    session.Disconnect();
    snapshot.savedAt = SavedAtNow();
    snapshot.programVersion = kTerminalVersion;
    snapshot.port = PortName(run);
    snapshot.baudRate = run.settings.baudRate;
    snapshot.address = run.settings.deviceAddress & 0xFF;
    if (path == "-") {
        if (!WriteToStandardOutput(SettingsToJson(snapshot))) {
            Error("cannot write the output");
            return kExitFile;
        }
        return kExitDone; // standard output is the file: nothing else goes there
    }
    std::error_code error;
    if (!SaveSettingsFile(QString::fromStdString(path), snapshot, error)) {
        Error("cannot write " + path + ": " + error.message());
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
    int status = kExitDone;
    const auto file = LoadFile(run, path, status);
    if (!file) {
        return status; // before anything is sent
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
    if (path == "-" && !args.yes) {
        Error("restore - reads the file from standard input, which then cannot answer the "
              "question: use --yes");
        return kExitUsage;
    }
    int status = kExitDone;
    const auto file = LoadFile(run, path, status);
    if (!file) {
        return status; // before anything is sent
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
        const Answer answer = AskYes(
            "write " + RecordKeys(toWrite) + " to the device on " + PortName(run) + "?", run);
        if (answer == Answer::NoInput) {
            Error("no answer on standard input (use --yes to restore without asking); "
                  "nothing written");
            return kExitUsage;
        }
        // Stopping at the question is an answer of no.
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
    if (StopRequested(run)) {
        return Stopped(run); // a read-back cut short says nothing of the record
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
