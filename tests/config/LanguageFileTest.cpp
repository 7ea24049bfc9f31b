#include "LanguageFile.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string Folder(const CTempDirectory& dir) {
    return dir.Path() + "/";
}

void Write(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    ASSERT_TRUE(out.good());
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(LanguageFile, ReadsTheCodeAndIgnoresWhatNamesNoLanguage) {
    struct Case {
        const char* content;
        std::optional<Language> language;
    } const cases[] = {
        {"en\n", Language::English},
        {"pl\n", Language::Polish},
        {"en", Language::English},
        {" en\r\n\r\n", Language::English}, // as an editor on Windows leaves it
        {"", std::nullopt},
        {"EN\n", std::nullopt},
        {"de\n", std::nullopt},
        {"en pl\n", std::nullopt},
        {"\xEF\xBB\xBF"
         "en\n",
         std::nullopt},
    };
    CTempDirectory dir;
    ASSERT_FALSE(dir.Path().empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        Write(dir.Join(kLanguageFileName), c.content);
        EXPECT_EQ(LoadLanguageFile(Folder(dir)), c.language);
    }
    // Whatever follows, a long file is no language file.
    Write(dir.Join(kLanguageFileName), "en" + std::string(100, ' '));
    EXPECT_EQ(LoadLanguageFile(Folder(dir)), std::nullopt);
}

TEST(LanguageFile, MissingFolderOrNoRegularFileGivesNothingAndNeverWaits) {
    CTempDirectory dir;
    ASSERT_FALSE(dir.Path().empty());
    EXPECT_EQ(LoadLanguageFile(Folder(dir)), std::nullopt);
    EXPECT_EQ(LoadLanguageFile(dir.Join("missing") + "/"), std::nullopt);
    fs::create_directory(dir.Join(kLanguageFileName));
    EXPECT_EQ(LoadLanguageFile(Folder(dir)), std::nullopt);
    fs::remove(dir.Join(kLanguageFileName));
#if !defined(_WIN32)
    // A pipe without a writer would block an ordinary read for ever.
    ASSERT_EQ(::mkfifo(dir.Join(kLanguageFileName).c_str(), 0600), 0);
    EXPECT_EQ(LoadLanguageFile(Folder(dir)), std::nullopt);
    std::error_code error;
    EXPECT_FALSE(SaveLanguageFile(Folder(dir), Language::English, error));
    EXPECT_TRUE(fs::is_fifo(dir.Join(kLanguageFileName))) << "never replaced";
#endif
}

TEST(LanguageFile, SaveMakesTheFolderAndReplacesOnlyItsOwnFile) {
    CTempDirectory dir;
    ASSERT_FALSE(dir.Path().empty());
    const std::string folder = dir.Join("qal-terminal") + "/"; // not made yet
    std::error_code error;
    ASSERT_TRUE(SaveLanguageFile(folder, Language::English, error)) << error.message();
    EXPECT_EQ(Read(folder + kLanguageFileName), "en\n");
    EXPECT_EQ(LoadLanguageFile(folder), Language::English);
    ASSERT_TRUE(SaveLanguageFile(folder, Language::Polish, error)) << error.message();
    EXPECT_EQ(Read(folder + kLanguageFileName), "pl\n");
    EXPECT_FALSE(fs::exists(folder + "config.cfg")) << "config.cfg is not touched";
}

TEST(LanguageFile, CommandLineWinsThenTheFileThenPolish) {
    using L = Language;
    EXPECT_EQ(ChooseLanguage(std::nullopt, std::nullopt), L::Polish);
    EXPECT_EQ(ChooseLanguage(std::nullopt, L::English), L::English);
    EXPECT_EQ(ChooseLanguage(L::Polish, L::English), L::Polish);
    EXPECT_EQ(ChooseLanguage(L::English, std::nullopt), L::English);
}

} // namespace
