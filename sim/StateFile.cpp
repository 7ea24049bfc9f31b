#include "StateFile.h"

#include "UniqueFd.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
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
    const auto offset = static_cast<std::uint64_t>(memory.clockOffsetSeconds);
    for (std::size_t i = 0; i < kOffsetSize; ++i) {
        out.push_back(static_cast<std::uint8_t>(offset >> (8 * i)));
    }
    return out;
}

bool WriteAll(int fd, const std::vector<std::uint8_t>& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
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
    std::uint64_t offset = 0;
    for (std::size_t i = 0; i < kOffsetSize; ++i) {
        offset |= static_cast<std::uint64_t>(at[i]) << (8 * i);
    }
    loaded.clockOffsetSeconds = static_cast<std::int64_t>(offset);
    memory = loaded;
    return StateLoad::Loaded;
}

bool SaveStateFile(const std::string& path, const DeviceMemory& memory, std::string& error) {
    std::string temporary = path + ".XXXXXX";
    CUniqueFd file(::mkstemp(temporary.data()));
    if (!file.IsOpen()) {
        error = SystemError("cannot create a file beside", path);
        return false;
    }
    const bool written = WriteAll(file.Get(), Serialise(memory)) && ::fsync(file.Get()) == 0;
    // close() reports write errors some file systems defer; such a file must not replace the
    // old one.
    const bool closed = ::close(file.Get()) == 0;
    (void)file.Release();
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = SystemError("cannot write state file", path);
        (void)::unlink(temporary.c_str()); // best effort: a stray temporary file is harmless
        return false;
    }
    return true;
}
