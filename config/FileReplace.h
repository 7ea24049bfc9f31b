#pragma once

#include "FileHandle.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <system_error>

// The one way this program replaces a file (config.cfg, the simulator's state, and the files a
// user saves): the new content goes to a file beside the old one, reaches the disk, and takes
// the old one's place by one rename, so that a crash at any moment leaves the old or the new
// content, never a part.
enum class FileReplaceResult {
    Written,
    NotAFile,     // a pipe, device, socket or folder stands in the file's place: never written
    CannotCreate, // no new file could be made beside it; nothing changed
    WriteError,   // the content could not be written or put in place; the old file stays
};

// The two calls whose order makes a replacement safe: the content reaches the disk before the
// rename makes it the file. The system's by default; a test may watch them.
class IFileReplaceCalls {
public:
    virtual bool Flush(CFileHandle::Native file) const = 0;
    virtual bool Rename(const std::filesystem::path& from,
                        const std::filesystem::path& to) const = 0;

protected:
    ~IFileReplaceCalls() = default;
};
const IFileReplaceCalls& SystemFileReplaceCalls();

// One replacement written piece by piece, for content too big to hold twice. Nothing changes
// until Commit; a replacement that is not committed removes its new file when it goes.
//
// A path that is a link keeps its link: the file it leads to is replaced, also when that file
// does not exist yet. The new file keeps the old one's permissions and, where allowed, its owner.
// A temporary file that an earlier replacement killed before its rename left behind is removed
// when it is over a minute old and no larger than this content. The folder must exist.
class CFileReplacement {
public:
    explicit CFileReplacement(const IFileReplaceCalls& calls = SystemFileReplaceCalls())
        : m_calls(calls) {}
    ~CFileReplacement();
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;

    // Makes the new file beside path. Anything but Written ends the replacement; error says why.
    FileReplaceResult Begin(const std::filesystem::path& path, std::error_code& error);
    // Appends to the new file; after a failure nothing more is written and Commit reports it.
    void Write(const void* data, std::size_t size);
    // Flushes the new file, checks it holds every byte written, and renames it over the old one.
    FileReplaceResult Commit(std::error_code& error);

private:
    void Discard();

    const IFileReplaceCalls& m_calls;
    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    CFileHandle m_file;
    std::uintmax_t m_written = 0;
    std::error_code m_writeError; // the first write that failed
};

// The whole content at once. error holds the system's reason for anything but Written.
FileReplaceResult ReplaceFileContent(const std::filesystem::path& path, const void* data,
                                     std::size_t size, std::error_code& error);
