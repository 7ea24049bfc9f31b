#pragma once

#include <cstddef>
#include <filesystem>
#include <system_error>

// The one way this program replaces a file it owns (config.cfg, the simulator's state): the new
// content goes to a file beside the old one, reaches the disk, and takes the old one's place by
// one rename, so that a crash at any moment leaves the old or the new content, never a part.
enum class FileReplaceResult {
    Written,
    NotAFile,     // a pipe, device, socket or folder stands in the file's place: never written
    CannotCreate, // no new file could be made beside it; nothing changed
    WriteError,   // the content could not be written or put in place; the old file stays
};

// A path that is a link keeps its link: the file it leads to is replaced, also when that file
// does not exist yet. The new file keeps the old one's permissions and, where allowed, its owner.
// A temporary file that an earlier replacement killed before its rename left behind is removed
// when it is over a minute old and no larger than this content. The folder must exist. error
// holds the system's reason for anything but Written.
FileReplaceResult ReplaceFileContent(const std::filesystem::path& path, const void* data,
                                     std::size_t size, std::error_code& error);
