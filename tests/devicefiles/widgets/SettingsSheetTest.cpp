#include "SettingsSheet.h"
#include "DeviceFileOperations.h"
#include "FakeDevice.h"
#include "OddFiles.h"
#include "TempDirectory.h"
#include "WidgetTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;

namespace {

// "Arkusz ustawień…" against a fake device, saving to path; the log and the boxes it gave.
struct SheetRun {
    std::vector<std::string> log;
    std::vector<TestApp::Shown> shown;
};

SheetRun RunSheet(const std::string& path) {
    TestApp app;
    FakeDevice device;
    DeviceFileContext context;
    context.askFileName = [path](FileQuestion, const std::string&) { return path; };
    RunSettingsSheet(device, context);
    return {device.log, app.shown};
}

bool LoggedSaved(const SheetRun& run) {
    return std::any_of(run.log.begin(), run.log.end(), [](const std::string& line) {
        return line.rfind("Zapisano arkusz ustawień do pliku ", 0) == 0;
    });
}

} // namespace

// Nothing in the file's place but a regular file is replaced, and the box says why.
TEST(SettingsSheetTest, OddTargetsAreRefusedAndStay) {
    CTempDirectory dir("qal-sheet-odd");
    for (const OddFile kind : kAllOddFiles) {
        SCOPED_TRACE(OddFileName(kind));
        const std::string path = dir.Join(OddFileName(kind));
        std::string why;
        if (!MakeOddFile(kind, path, why)) {
            std::cout << "skipped: " << why << "\n";
            continue;
        }
        const auto type = fs::status(path).type();
        const SheetRun run = RunSheet(path);
        ASSERT_EQ(run.shown.size(), 1u);
        EXPECT_EQ(run.shown[0].text,
                  "Nie można zapisać pliku '" + path + "': " +
                      (kind == OddFile::Folder ? "To jest katalog" : "To nie jest zwykły plik"));
        EXPECT_FALSE(LoggedSaved(run));
        EXPECT_EQ(fs::status(path).type(), type);
    }
}

#if !defined(_WIN32) // a file-size limit stands in for a full disk
namespace {
std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
} // namespace

// A disk that fills while the sheet is written: the old file stays whole, nothing is left
// beside it, and the log never says the sheet was saved.
TEST(SettingsSheetTest, AFullDiskKeepsTheOldFileAndSaysSo) {
    CTempDirectory dir("qal-sheet-full");
    const std::string path = dir.Join("sheet.pdf");
    std::ofstream(path, std::ios::binary) << "an older sheet";
    // No room at all, and room for less than any sheet (they take some ten kilobytes and more).
    for (const rlim_t room : {rlim_t{0}, rlim_t{1000}, rlim_t{4000}}) {
        SCOPED_TRACE(room);
        rlimit saved{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved;
        limit.rlim_cur = room;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        const SheetRun run = RunSheet(path);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedSignal);

        ASSERT_EQ(run.shown.size(), 1u);
        EXPECT_EQ(run.shown[0].text, "Nie można zapisać pliku '" + path +
                                         "': Przekroczono dopuszczalny rozmiar pliku");
        EXPECT_FALSE(LoggedSaved(run));
        EXPECT_EQ(Contents(path), "an older sheet");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
    }
}
#endif
