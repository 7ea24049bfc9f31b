#include "StateFile.h"

#include "FileReplace.h"
#include "LittleEndian.h"
#include "UniqueFd.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

namespace {

constexpr char kMagic[8] = {'Q', 'A', 'L', 'S', 'I', 'M', '1', '\n'};
constexpr std::size_t kOffsetSize = 8;
constexpr std::size_t kFileSize = sizeof kMagic + SensorConfigRecord::kSize +
                                  ReaderDataRecord::kSize + AlarmDataRecord::kSize + kOffsetSize;

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

std::vector<std::uint8_t> Serialise(const DeviceMemory& memory) {
    std::vector<std::uint8_t> out(std::begin(kMagic), std::end(kMagic));
    out.insert(out.end(), memory.sensorConfig.bytes.begin(), memory.sensorConfig.bytes.end());
    out.insert(out.end(), memory.readerData.bytes.begin(), memory.readerData.bytes.end());
    out.insert(out.end(), memory.alarmData.bytes.begin(), memory.alarmData.bytes.end());
    out.resize(out.size() + kOffsetSize);
    WriteU64LE(out.data() + out.size() - kOffsetSize,
               static_cast<std::uint64_t>(memory.clockOffsetSeconds));
    return out;
}

} // namespace

StateLoad LoadStateFile(const std::string& path, DeviceMemory& memory, std::string& error) {
    CUniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.IsOpen()) {
        if (errno == ENOENT) {
            return StateLoad::Missing;
        }
        error = SystemError("cannot open state file", path);
        return StateLoad::Unusable;
    }
    // One byte more than a state file holds, to tell a longer file from a state file.
    std::array<std::uint8_t, kFileSize + 1> data{};
    std::size_t size = 0;
    while (size < data.size()) {
        const ssize_t n = ::read(file.Get(), data.data() + size, data.size() - size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = SystemError("cannot read state file", path);
            return StateLoad::Unusable;
        }
        if (n == 0) {
            break;
        }
        size += static_cast<std::size_t>(n);
    }
    if (size != kFileSize || !std::equal(std::begin(kMagic), std::end(kMagic), data.begin())) {
        error = path + " is not a qal-sim state file; it is left untouched";
        return StateLoad::Unusable;
    }
    const std::uint8_t* at = data.data() + sizeof kMagic;
    DeviceMemory loaded;
    std::copy_n(at, SensorConfigRecord::kSize, loaded.sensorConfig.bytes.begin());
    at += SensorConfigRecord::kSize;
    std::copy_n(at, ReaderDataRecord::kSize, loaded.readerData.bytes.begin());
    at += ReaderDataRecord::kSize;
    std::copy_n(at, AlarmDataRecord::kSize, loaded.alarmData.bytes.begin());
    at += AlarmDataRecord::kSize;
    loaded.clockOffsetSeconds = static_cast<std::int64_t>(ReadU64LE(at));
    memory = loaded;
    return StateLoad::Loaded;
}

bool SaveStateFile(const std::string& path, const DeviceMemory& memory, std::string& error) {
    const std::vector<std::uint8_t> content = Serialise(memory);
    std::error_code failure;
    if (ReplaceFileContent(path, content.data(), content.size(), failure) !=
        FileReplaceResult::Written) {
        error = "cannot write state file " + path + ": " + failure.message();
        return false;
    }
    return true;
}
