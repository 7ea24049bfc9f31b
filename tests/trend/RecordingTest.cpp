#include "LocalTimeText.h"
#include "ReadingRecorder.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <sstream>
#include <string>

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

const char kHeader[] =
    "czas,nr odczytu,prędkość [m/s],status,awaria,wyjście 1,wyjście 2,wyjście 3\n";

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
    EXPECT_EQ(lines[0], "T,7,12.3,0x28,0,1,0,1\n");
    EXPECT_EQ(lines[1], "T,65535,-0.5,0x00,1,1,1,1\n");
    EXPECT_EQ(lines[2], "T,0,0.0,0xFF,0,0,0,0\n");
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
    const std::string firstLine = ReadingCsvLine(FormatLocalIsoTime(0), Reading(1, 10, 0x08));
    EXPECT_EQ(FileText(path), kHeader + firstLine);
    recorder.Close();

    ASSERT_TRUE(recorder.Open(path));
    EXPECT_FALSE(recorder.Created());
    ASSERT_TRUE(recorder.Write(1000, Reading(2, 20, 0x08)));
    recorder.Close();
    EXPECT_EQ(FileText(path),
              kHeader + firstLine + ReadingCsvLine(FormatLocalIsoTime(1000), Reading(2, 20, 0x08)));

    EXPECT_FALSE(recorder.Open(dir.Join("no/such/folder.csv")));
    EXPECT_FALSE(recorder.IsOpen());
}

} // namespace
