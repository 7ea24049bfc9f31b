#include "FileError.h"
#include "LocalTimeText.h"
#include "OddFiles.h"
#include "ReadingCsv.h"
#include "ReadingRecorder.h"
#include "TempDirectory.h"
#include "TimeZone.h"

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

namespace {

ReadingSample Reading(std::uint16_t number, int tenths, std::uint8_t status) {
    ReadingSample reading;
    reading.readingNo = number;
    reading.speedTenths = static_cast<std::int16_t>(tenths);
    reading.status = status;
    reading.failure = (status & 0x08) == 0;
    for (int i = 0; i < 3; ++i) {
        reading.outputs[static_cast<std::size_t>(i)] = (status & (0x10 << i)) == 0;
    }
    return reading;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const char kHeader[] = "time,reading,speed_mps,status,failure,output1,output2,output3\n";

TEST(ReadingCsv, TimeWithMillisecondsAndOffset) {
    const struct {
        std::int64_t ms;
        int offset;
        const char* text;
    } cases[] = {
        {0, 0, "1970-01-01T00:00:00.000+00:00"},
        {1'796'742'309'042, 3600, "2026-12-08T16:05:09.042+01:00"},
        {1'796'742'309'999, -(3 * 3600 + 1800), "2026-12-08T11:35:09.999-03:30"},
        {951'868'800'000, 7200, "2000-03-01T02:00:00.000+02:00"}, // after a leap day
        {-1, 0, "1969-12-31T23:59:59.999+00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatIsoTime(c.ms, c.offset), c.text) << c.ms;
    }
}

// The speed keeps its decimal point under a locale with a decimal comma.
TEST(ReadingCsv, LinesWithAPointWhateverTheLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const bool comma = std::setlocale(LC_ALL, "pl_PL.UTF-8") != nullptr;
    const std::string lines[] = {
        ReadingCsvLine("T", Reading(7, 123, 0x28)),
        ReadingCsvLine("T", Reading(65535, -5, 0x00)),
        ReadingCsvLine("T", Reading(0, 0, 0xFF)),
    };
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(lines[0], "T,7,12.3,0x28,0,1,0,1");
    EXPECT_EQ(lines[1], "T,65535,-0.5,0x00,1,1,1,1");
    EXPECT_EQ(lines[2], "T,0,0.0,0xFF,0,0,0,0");
    if (!comma) {
        GTEST_SKIP() << "no pl_PL.UTF-8 locale: checked in the C locale only";
    }
}

TEST(ReadingRecorder, HeaderInANewFileThenAppends) {
    CTempDirectory dir;
    const std::string path = dir.Join("odczyty.csv");
    CReadingRecorder recorder;
    ASSERT_TRUE(recorder.Open(path));
    EXPECT_TRUE(recorder.Created());
    ASSERT_TRUE(recorder.Write(0, Reading(1, 10, 0x08)));
    // Flushed as written: the file holds the line while it is still open.
    const std::string firstLine =
        ReadingCsvLine(FormatLocalIsoTime(0), Reading(1, 10, 0x08)) + "\n";
    EXPECT_EQ(FileText(path), kHeader + firstLine);
    recorder.Close();

    ASSERT_TRUE(recorder.Open(path));
    EXPECT_FALSE(recorder.Created());
    ASSERT_TRUE(recorder.Write(1000, Reading(2, 20, 0x08)));
    recorder.Close();
    EXPECT_EQ(FileText(path), kHeader + firstLine +
                                  ReadingCsvLine(FormatLocalIsoTime(1000), Reading(2, 20, 0x08)) +
                                  "\n");

    EXPECT_FALSE(recorder.Open(dir.Join("no/such/folder.csv")));
    EXPECT_FALSE(recorder.IsOpen());
}

// The local time of a recording as a clock in Warsaw shows it: winter and summer, and both sides
// of each change of time (in autumn the same hour twice, told apart by the offset).
TEST(ReadingCsv, LocalTimesOfARealZone) {
    const CScopedTimeZone warsaw("Europe/Warsaw");
    if (!warsaw.Available()) {
        GTEST_SKIP() << "no time zone data for Europe/Warsaw";
    }
    const struct {
        std::int64_t ms;
        const char* text;
    } cases[] = {
        {1'768'478'400'250, "2026-01-15T13:00:00.250+01:00"},
        {1'784'116'800'250, "2026-07-15T14:00:00.250+02:00"},
        {1'774'745'999'999, "2026-03-29T01:59:59.999+01:00"},
        {1'774'746'000'000, "2026-03-29T03:00:00.000+02:00"},
        {1'792'888'200'000, "2026-10-25T02:30:00.000+02:00"},
        {1'792'891'800'000, "2026-10-25T02:30:00.000+01:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatLocalIsoTime(c.ms), c.text) << c.ms;
    }
    CTempDirectory dir;
    const std::string path = dir.Join("odczyty.csv");
    CReadingRecorder recorder;
    ASSERT_TRUE(recorder.Open(path));
    ASSERT_TRUE(recorder.Write(1'784'116'800'250, Reading(9, 87, 0x68)));
    recorder.Close();
    EXPECT_EQ(FileText(path),
              std::string(kHeader) + "2026-07-15T14:00:00.250+02:00,9,8.7,0x68,0,1,0,0\n");
}

// Recording goes only to a regular file: a pipe would block the readout or feed another
// program, a device is no file; each stays as it was, and the reason is told.
TEST(ReadingRecorder, RefusesAnythingButARegularFile) {
    CTempDirectory dir;
    for (const OddFile kind : kAllOddFiles) {
        SCOPED_TRACE(OddFileName(kind));
        const std::string path = dir.Join(OddFileName(kind));
        std::string why;
        if (!MakeOddFile(kind, path, why)) {
            std::cout << "skipped: " << why << "\n";
            continue;
        }
        const auto type = std::filesystem::status(path).type();
        CReadingRecorder recorder;
        EXPECT_FALSE(recorder.Open(path));
        EXPECT_FALSE(recorder.IsOpen());
        EXPECT_EQ(FileReasonText(recorder.LastError()),
                  kind == OddFile::Folder ? "To jest katalog" : "To nie jest zwykły plik");
        EXPECT_EQ(std::filesystem::status(path).type(), type);
    }
}

#if !defined(_WIN32) // a file-size limit stands in for a full disk
// A disk that fills in the middle of a line: the part that got in is cut off again, so that the
// file ends with its last whole line; recording ends.
TEST(ReadingRecorder, ALineTheDiskTookOnlyPartOfIsCutOff) {
    for (const rlim_t room : {rlim_t{0}, rlim_t{10}}) {
        SCOPED_TRACE(room);
        CTempDirectory dir;
        const std::string path = dir.Join("odczyty.csv");
        CReadingRecorder recorder;
        ASSERT_TRUE(recorder.Open(path));
        ASSERT_TRUE(recorder.Write(0, Reading(1, 10, 0x08)));
        const std::string whole = FileText(path);

        rlimit saved{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved;
        limit.rlim_cur = static_cast<rlim_t>(whole.size()) + room;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        const bool written = recorder.Write(1000, Reading(2, 20, 0x08));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, savedSignal);

        EXPECT_FALSE(written);
        EXPECT_FALSE(recorder.IsOpen());
        EXPECT_EQ(FileReasonText(recorder.LastError()), "Przekroczono dopuszczalny rozmiar pliku");
        EXPECT_EQ(FileText(path), whole);
    }
}
#endif

} // namespace
