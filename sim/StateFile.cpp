#include "StateFile.h"

#include "FileReplace.h"
#include "LittleEndian.h"
#include "RegularFile.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr char kMagic[8] = {'Q', 'A', 'L', 'S', 'I', 'M', '1', '\n'};
constexpr std::size_t kOffsetSize = 8;
constexpr std::size_t kFileSize = sizeof kMagic + SensorConfigRecord::kSize +
                                  ReaderDataRecord::kSize + AlarmDataRecord::kSize + kOffsetSize;

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
    // One byte more than a state file holds, to tell a longer file from a state file. Read only
    // from a regular file, without waiting: a pipe given as the state never blocks the start.
    std::string data;
    std::error_code failure;
    switch (ReadRegularFile(path, kFileSize + 1, data, failure)) {
    case RegularFileRead::Read:
        break;
    case RegularFileRead::CannotOpen:
        if (failure == std::errc::no_such_file_or_directory) {
            return StateLoad::Missing;
        }
        error = "cannot open state file " + path + ": " + failure.message();
        return StateLoad::Unusable;
    case RegularFileRead::ReadError:
        error = "cannot read state file " + path + ": " + failure.message();
        return StateLoad::Unusable;
    }
    const std::size_t size = data.size();
    if (size != kFileSize || data.compare(0, sizeof kMagic, kMagic, sizeof kMagic) != 0) {
        error = path + " is not a qal-sim state file; it is left untouched";
        return StateLoad::Unusable;
    }
    const auto* at = reinterpret_cast<const std::uint8_t*>(data.data()) + sizeof kMagic;
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
