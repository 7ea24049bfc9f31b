// qal-demo.exe: the terminal beside a simulated sensor, for a first try without a device. The
// simulator serves on a free port of 127.0.0.1; the terminal runs with a settings folder of the
// demo's own (%LOCALAPPDATA%\qal-terminal-demo), where the simulator maps its COM port in
// ports.json, so that the user's own settings and mappings are never touched. When the terminal
// closes, the simulator is stopped and takes its mapping out again.
#include "ConfigFile.h"
#include "DemoCommandLine.h"
#include "SettingsLocation.h"
#include "Utf8Path.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace {

const wchar_t kTitle[] = L"Program kontrolny QAL \u2013 demo";
// A simulator starts in well under a second; wine or a busy machine may take much longer.
constexpr ULONGLONG kStartPatienceMs = 20000;
constexpr DWORD kStopPatienceMs = 5000;

std::wstring Wide(const std::string& text) {
    return PathFromUtf8(text).wstring();
}

void Complain(const std::string& what) {
    (void)MessageBoxW(nullptr, Wide(what).c_str(), kTitle, MB_OK | MB_ICONERROR);
}

// Closes a handle when it goes.
class CHandle {
public:
    explicit CHandle(HANDLE handle = nullptr) : m_handle(handle) {}
    ~CHandle() { Close(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    HANDLE Get() const { return m_handle; }
    void Reset(HANDLE handle) {
        Close();
        m_handle = handle;
    }

private:
    void Close() {
        if (m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE) {
            (void)CloseHandle(m_handle); // nothing to do when closing fails
        }
    }

    HANDLE m_handle;
};

// The environment of this process with APPDATA replaced: a block for CreateProcessW.
std::wstring EnvironmentWithAppData(const std::wstring& appData) {
    std::wstring block;
    wchar_t* const strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; entry != nullptr && *entry != L'\0';
         entry += wcslen(entry) + 1) {
        if (_wcsnicmp(entry, L"APPDATA=", 8) != 0) {
            block.append(entry).push_back(L'\0');
        }
    }
    if (strings != nullptr) {
        (void)FreeEnvironmentStringsW(strings);
    }
    block.append(L"APPDATA=" + appData).push_back(L'\0');
    block.push_back(L'\0');
    return block;
}

// The first line the simulator prints (its URL), or nothing when it ends or takes too long.
std::optional<std::string> FirstLine(HANDLE output, HANDLE process) {
    std::string text;
    const ULONGLONG deadline = GetTickCount64() + kStartPatienceMs;
    while (GetTickCount64() < deadline) {
        DWORD waiting = 0;
        if (!PeekNamedPipe(output, nullptr, 0, nullptr, &waiting, nullptr)) {
            return std::nullopt; // the simulator's end is closed: it has ended
        }
        if (waiting == 0) {
            if (WaitForSingleObject(process, 20) == WAIT_OBJECT_0) {
                return std::nullopt;
            }
            continue;
        }
        char buffer[256];
        DWORD got = 0;
        if (!ReadFile(output, buffer, std::min<DWORD>(waiting, sizeof buffer), &got, nullptr)) {
            return std::nullopt;
        }
        text.append(buffer, got);
        if (const std::size_t end = text.find_first_of("\r\n"); end != std::string::npos) {
            return text.substr(0, end);
        }
        if (text.size() > 4096) {
            return std::nullopt; // no URL is that long
        }
    }
    return std::nullopt;
}

// The last line the simulator wrote to its log: why it could not start.
std::string LastLogLine(const std::filesystem::path& log) {
    std::string content;
    std::error_code error;
    if (std::filesystem::file_size(log, error) < 65536 && !error) {
        std::FILE* file = _wfopen(log.c_str(), L"rb");
        if (file != nullptr) {
            char buffer[65536];
            content.assign(buffer, std::fread(buffer, 1, sizeof buffer, file));
            (void)std::fclose(file);
        }
    }
    while (!content.empty() && (content.back() == '\n' || content.back() == '\r')) {
        content.pop_back();
    }
    const std::size_t start = content.find_last_of('\n');
    return start == std::string::npos ? content : content.substr(start + 1);
}

// Asks the simulator to stop as Ctrl+C would, so that it takes its entry out of ports.json;
// ends it when it does not within a few seconds (its entry then stays, and the next demo
// replaces it).
void StopSimulator(const PROCESS_INFORMATION& simulator) {
    if (AttachConsole(simulator.dwProcessId)) {
        // This process ignores the Ctrl+C it sends to the console it shares for a moment.
        (void)SetConsoleCtrlHandler(nullptr, TRUE);
        (void)GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
        (void)FreeConsole();
    }
    if (WaitForSingleObject(simulator.hProcess, kStopPatienceMs) != WAIT_OBJECT_0) {
        (void)TerminateProcess(simulator.hProcess, 1);
    }
}

int RunDemo() {
    const std::string programFolder = ExecutableDirectory();
    const std::optional<std::string> localAppData = ProcessEnvironment("LOCALAPPDATA");
    if (programFolder.empty() || !localAppData || localAppData->empty()) {
        Complain("Nie można ustalić folderu programu ani folderu %LOCALAPPDATA%.");
        return 1;
    }
    const std::string demoRoot = WithoutTrailingSeparator(*localAppData) + "\\qal-terminal-demo";
    // The terminal finds its settings in %APPDATA%\qal-terminal\: here the demo's own folder.
    const EnvironmentLookup demoEnvironment = [&demoRoot](const std::string& name) {
        return name == "APPDATA" ? std::optional<std::string>(demoRoot) : ProcessEnvironment(name);
    };
    // A copy that keeps its settings beside itself (unpacked from the zip into a folder of the
    // user's) uses them for the demo too: its own config.cfg, and its ports.json, where the
    // simulator takes a COM port only when no device server is mapped to it.
    const std::string settings = SettingsDirectory(programFolder, demoEnvironment);
    for (const std::string& folder : {demoRoot, settings}) {
        std::error_code error;
        std::filesystem::create_directories(PathFromUtf8(folder), error);
        if (error) {
            Complain("Nie można utworzyć folderu " + folder + ": " + error.message());
            return 1;
        }
    }
    // The port the terminal opens: the demo's own choice once made in "Opcje połączenia".
    ConnectionSettings connection;
    (void)LoadConfigFile(settings + "config.cfg", connection); // defaults when missing

    // The simulator goes with this program, also when this program is ended.
    const CHandle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job.Get() != nullptr) {
        (void)SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                                      sizeof limits);
    }

    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        Complain("Nie można uruchomić symulatora (potok).");
        return 1;
    }
    const CHandle output(readEnd);
    CHandle outputWriteEnd(writeEnd);
    (void)SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    const std::filesystem::path logPath = PathFromUtf8(demoRoot) / L"qal-sim.log";
    const CHandle log(CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = log.Get() != INVALID_HANDLE_VALUE ? log.Get() : nullptr;
    std::wstring simulatorLine = Wide(WindowsCommandLine(
        DemoSimulatorArguments(programFolder + "qal-sim.exe", settings, connection.port)));
    PROCESS_INFORMATION simulator{};
    if (!CreateProcessW(nullptr, simulatorLine.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup,
                        &simulator)) {
        Complain("Nie można uruchomić " + programFolder + "qal-sim.exe (błąd " +
                 std::to_string(GetLastError()) + ").");
        return 1;
    }
    const CHandle simulatorProcess(simulator.hProcess);
    const CHandle simulatorThread(simulator.hThread);
    if (job.Get() != nullptr) {
        (void)AssignProcessToJobObject(job.Get(), simulator.hProcess);
    }
    (void)ResumeThread(simulator.hThread);
    outputWriteEnd.Reset(nullptr); // the simulator's copy is the only one left

    const std::optional<std::string> url = FirstLine(output.Get(), simulator.hProcess);
    if (!url || url->rfind("tcp://", 0) != 0) {
        StopSimulator(simulator);
        Complain("Symulator nie wystartował: " + LastLogLine(logPath));
        return 1;
    }

    std::wstring terminalLine = Wide(WindowsCommandLine({programFolder + "qal-terminal.exe"}));
    std::wstring environment = EnvironmentWithAppData(Wide(demoRoot));
    STARTUPINFOW terminalStartup{};
    terminalStartup.cb = sizeof terminalStartup;
    PROCESS_INFORMATION terminal{};
    if (!CreateProcessW(nullptr, terminalLine.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, environment.data(), nullptr, &terminalStartup,
                        &terminal)) {
        StopSimulator(simulator);
        Complain("Nie można uruchomić qal-terminal.exe (błąd " + std::to_string(GetLastError()) +
                 ").");
        return 1;
    }
    const CHandle terminalProcess(terminal.hProcess);
    const CHandle terminalThread(terminal.hThread);
    (void)WaitForSingleObject(terminal.hProcess, INFINITE);
    StopSimulator(simulator);
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return RunDemo();
}
