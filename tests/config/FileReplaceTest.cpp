#include "FileReplace.h"
#include "FileError.h"
#include "FileReplaceStream.h"
#include "OddFiles.h"
#include "RegularFile.h"
#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#endif

namespace fs = std::filesystem;

namespace {

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t Entries(const std::string& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

// The system's calls, watched: which came in which order, and one of them made to fail.
class CWatchedCalls final : public IFileReplaceCalls {
public:
    enum class Fail { None, Flush, Rename };
    explicit CWatchedCalls(Fail fail) : m_fail(fail) {}

    bool Flush(CFileHandle::Native file) const override {
        steps.push_back("flush");
        return m_fail == Fail::Flush ? Failed() : SystemFileReplaceCalls().Flush(file);
    }
    bool Rename(const fs::path& from, const fs::path& to) const override {
        steps.push_back("rename to " + to.filename().string());
        return m_fail == Fail::Rename ? Failed() : SystemFileReplaceCalls().Rename(from, to);
    }

    mutable std::vector<std::string> steps;

private:
    static bool Failed() {
#if defined(_WIN32)
        SetLastError(ERROR_WRITE_FAULT);
#else
        errno = EIO;
#endif
        return false;
    }
    Fail m_fail;
};

} // namespace

// The content is on the disk before its name is: a rename of an unflushed file can leave an
// empty file under the old name after a power cut.
TEST(FileReplace, FlushesBeforeTheRenameAndKeepsTheOldFileOnAFailure) {
    using Fail = CWatchedCalls::Fail;
    const struct {
        const char* name;
        Fail fail;
        FileReplaceResult result;
        std::vector<std::string> steps;
        const char* content;
    } cases[] = {
        {"done", Fail::None, FileReplaceResult::Written, {"flush", "rename to data.bin"}, "new"},
        {"flush fails", Fail::Flush, FileReplaceResult::WriteError, {"flush"}, "old"},
        {"rename fails",
         Fail::Rename,
         FileReplaceResult::WriteError,
         {"flush", "rename to data.bin"},
         "old"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTempDirectory dir("qal-replace");
        const std::string path = dir.Join("data.bin");
        std::ofstream(path, std::ios::binary) << "old";
        const CWatchedCalls calls(c.fail);
        CFileReplacement replacement(calls);
        std::error_code error;
        ASSERT_EQ(replacement.Begin(path, error), FileReplaceResult::Written) << error.message();
        replacement.Write("new", 3);
        EXPECT_EQ(replacement.Commit(error), c.result);
        EXPECT_EQ(calls.steps, c.steps);
        EXPECT_EQ(static_cast<bool>(error), c.result != FileReplaceResult::Written);
        EXPECT_EQ(Contents(path), c.content);
        EXPECT_EQ(Entries(dir.Path()), 1u) << "no new file stays beside it";
    }
}

// Content written piece by piece through a stream; a replacement never committed changes
// nothing and leaves nothing.
TEST(FileReplace, StreamedContentArrivesWholeOnlyWhenCommitted) {
    CTempDirectory dir("qal-replace");
    const std::string path = dir.Join("rows.txt");
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        expected += "row " + std::to_string(i) + "\n";
    }
    for (const bool commit : {false, true}) {
        SCOPED_TRACE(commit);
        std::error_code error;
        {
            CFileReplacement replacement;
            ASSERT_EQ(replacement.Begin(path, error), FileReplaceResult::Written);
            {
                CFileReplaceStreamBuf buffer(replacement);
                std::ostream out(&buffer);
                for (int i = 0; i < 20000; ++i) {
                    out << "row " << i << '\n';
                }
            }
            if (commit) {
                ASSERT_EQ(replacement.Commit(error), FileReplaceResult::Written) << error.message();
            }
        }
        EXPECT_EQ(fs::exists(path), commit);
        EXPECT_EQ(Entries(dir.Path()), commit ? 1u : 0u);
    }
    EXPECT_EQ(Contents(path), expected);
}

// What the program reads or writes for a user is a regular file or nothing: anything else is
// refused with its reason, never opened for reading (a pipe would block) nor replaced.
TEST(RegularFile, OnlyRegularFilesAreReadOrReplaced) {
    CTempDirectory dir("qal-regular");
    const std::string file = dir.Join("file.txt");
    std::ofstream(file, std::ios::binary) << "0123456789";
    std::error_code error;
    EXPECT_TRUE(IsRegularOrAbsent(file, error));
    EXPECT_TRUE(IsRegularOrAbsent(dir.Join("absent"), error));
    std::string content;
    EXPECT_EQ(ReadRegularFile(file, 4, content, error), RegularFileRead::Read);
    EXPECT_EQ(content, "0123") << "no more than the limit";
    EXPECT_EQ(ReadRegularFile(dir.Join("absent"), 4, content, error), RegularFileRead::CannotOpen);
    EXPECT_TRUE(error);

    for (const OddFile kind : kAllOddFiles) {
        SCOPED_TRACE(OddFileName(kind));
        const std::string path = dir.Join(OddFileName(kind));
        std::string why;
        if (!MakeOddFile(kind, path, why)) {
            std::cout << "skipped: " << why << "\n";
            continue;
        }
        const std::error_code expected = kind == OddFile::Folder
                                             ? std::make_error_code(std::errc::is_a_directory)
                                             : make_error_code(FileErrc::NotRegular);
        EXPECT_FALSE(IsRegularOrAbsent(path, error));
        EXPECT_EQ(error, expected);
        EXPECT_EQ(ReadRegularFile(path, 4, content, error), RegularFileRead::CannotOpen);
        EXPECT_EQ(error, expected);
        EXPECT_EQ(ReplaceFileContent(path, "x", 1, error), FileReplaceResult::NotAFile);
        EXPECT_EQ(error, expected);
        EXPECT_EQ(fs::status(path).type(), kind == OddFile::Folder   ? fs::file_type::directory
                                           : kind == OddFile::Pipe   ? fs::file_type::fifo
                                           : kind == OddFile::Socket ? fs::file_type::socket
                                                                     : fs::file_type::character);
    }
}

TEST(FileError, ReasonsInPolishWithTheSystemsTextAsTheLastWord) {
    const struct {
        std::error_code error;
        std::string text;
    } cases[] = {
        {std::make_error_code(std::errc::permission_denied), "Brak uprawnień"},
        {std::make_error_code(std::errc::no_space_on_device), "Brak miejsca na dysku"},
        {std::make_error_code(std::errc::is_a_directory), "To jest katalog"},
        {make_error_code(FileErrc::NotRegular), "To nie jest zwykły plik"},
        {std::make_error_code(std::errc::broken_pipe),
         std::make_error_code(std::errc::broken_pipe).message()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileReasonText(c.error), c.text) << c.error.message();
    }
    EXPECT_EQ(CannotWriteFileText("/x/a b.json", make_error_code(std::errc::permission_denied)),
              "Nie można zapisać pliku '/x/a b.json': Brak uprawnień");
    EXPECT_EQ(CannotReadFileText("a", make_error_code(FileErrc::NotRegular)),
              "Nie można odczytać pliku 'a': To nie jest zwykły plik");
}

#if !defined(_WIN32)

// The new file keeps the old one's permissions: a file kept from others stays so.
TEST(FileReplace, KeepsTheOldFilesPermissions) {
    for (const fs::perms mode : {fs::perms(0640), fs::perms(0600), fs::perms(0604)}) {
        SCOPED_TRACE(static_cast<int>(mode));
        CTempDirectory dir("qal-replace");
        const std::string path = dir.Join("data.bin");
        std::ofstream(path, std::ios::binary) << "old";
        fs::permissions(path, mode);
        std::error_code error;
        ASSERT_EQ(ReplaceFileContent(path, "new", 3, error), FileReplaceResult::Written);
        EXPECT_EQ(fs::status(path).permissions(), mode);
        EXPECT_EQ(Contents(path), "new");
    }
}

#endif
