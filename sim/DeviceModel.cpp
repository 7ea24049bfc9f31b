#include "DeviceModel.h"

#include "DeviceCommands.h"
#include "MeasurementAnswer.h"
#include "OutputRule.h"
#include "TimeRecord.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

template <typename Bytes> void PutPayload(LinkMessage& message, const Bytes& bytes) {
    std::copy(bytes.begin(), bytes.end(), message.payload);
    message.length = static_cast<std::uint8_t>(bytes.size());
}

// Stores a written record. Only a payload of exactly the record's size is taken: a device that
// kept part of a record would report success for a record it never received.
template <typename Record>
bool StoreRecord(const LinkMessage& request, Record& record, WriteMode mode, DeviceReply& reply) {
    if (request.length != Record::kSize) {
        reply.refusal = "write of " + std::to_string(request.length) + " bytes refused, the " +
                        "record has " + std::to_string(Record::kSize);
        return false;
    }
    std::copy_n(request.payload, Record::kSize, record.bytes.begin());
    if (mode == WriteMode::Alter) {
        record.bytes.back() ^= 0xFF;
    }
    reply.memoryChanged = true;
    return true;
}

} // namespace

CDeviceModel::CDeviceModel(const DeviceBehaviour& behaviour, const DeviceMemory& memory)
    : m_behaviour(behaviour), m_memory(memory), m_wind(behaviour.seed) {}

std::int16_t CDeviceModel::NextSpeed() {
    const double speed = m_wind.Next(); // the wind blows on even while a speed is fixed
    if (m_behaviour.fixedSpeed) {
        return *m_behaviour.fixedSpeed;
    }
    // The sensor cannot report beyond its measuring range.
    long tenths = std::lround(speed * 10.0);
    const int range = std::abs(static_cast<int>(m_memory.sensorConfig.range()));
    if (range > 0) {
        tenths = std::min<long>(tenths, range);
    }
    return static_cast<std::int16_t>(std::min<long>(tenths, MeasurementAnswer::kModelMarker - 1));
}

void CDeviceModel::PutMeasurement(LinkMessage& answer) {
    const std::int16_t speed = NextSpeed();
    MeasurementAnswer reading;
    reading.setSpeed(speed);
    reading.setStatus(MeasurementStatus(speed, m_memory.alarmData, m_behaviour.failure));
    const bool marker = m_behaviour.modelMarker == ModelMarkerMode::Always ||
                        (m_behaviour.modelMarker == ModelMarkerMode::First && !m_markerShown);
    if (marker) {
        reading.setSpeed(MeasurementAnswer::kModelMarker);
        m_markerShown = true;
    }
    PutPayload(answer, reading.bytes);
}

DeviceReply CDeviceModel::Handle(const LinkMessage& request, const DeviceNow& now) {
    DeviceReply reply;
    if (request.address != m_behaviour.address) {
        reply.refusal = "not for this address";
        return reply;
    }
    if (m_lastRequest && now.steady - *m_lastRequest >= m_behaviour.sessionGap) {
        m_markerShown = false;
    }
    m_lastRequest = now.steady;

    const bool write = request.command == CMD_WRITE_CONFIG || request.command == CMD_WRITE_READER ||
                       request.command == CMD_WRITE_ALARMS || request.command == CMD_WRITE_TIME;
    if (write && m_behaviour.writes == WriteMode::Ignore) {
        reply.refusal = "write ignored";
        return reply;
    }

    LinkMessage answer;
    answer.address = m_behaviour.address;
    answer.command = request.command;
    bool answered = true;
    switch (request.command) {
    case CMD_READ_VERSION: {
        answer.payload[0] = kDeviceVersionNumber;
        const std::size_t textSize = sizeof kDeviceVersionText; // with its zero byte
        std::memcpy(answer.payload + 1, kDeviceVersionText, textSize);
        answer.length = static_cast<std::uint8_t>(1 + textSize);
        break;
    }
    case CMD_READ_MEASUREMENT:
        PutMeasurement(answer);
        break;
    case CMD_READ_CONFIG:
        PutPayload(answer, m_memory.sensorConfig.bytes);
        break;
    case CMD_READ_READER:
        PutPayload(answer, m_memory.readerData.bytes);
        break;
    case CMD_READ_ALARMS:
        PutPayload(answer, m_memory.alarmData.bytes);
        break;
    case CMD_READ_TIME:
        PutPayload(answer, DeviceTime(now.wall, m_memory.clockOffsetSeconds).bytes);
        break;
    case CMD_WRITE_CONFIG:
        answered = StoreRecord(request, m_memory.sensorConfig, m_behaviour.writes, reply);
        break;
    case CMD_WRITE_READER:
        answered = StoreRecord(request, m_memory.readerData, m_behaviour.writes, reply);
        break;
    case CMD_WRITE_ALARMS:
        answered = StoreRecord(request, m_memory.alarmData, m_behaviour.writes, reply);
        break;
    case CMD_WRITE_TIME: {
        TimeRecord written;
        std::optional<std::int64_t> offset;
        if (request.length == TimeRecord::kSize) {
            std::copy_n(request.payload, TimeRecord::kSize, written.bytes.begin());
            offset = OffsetForTime(written, now.wall);
        }
        if (!offset) {
            reply.refusal = "time write refused: not a valid date and time";
            answered = false;
            break;
        }
        m_memory.clockOffsetSeconds = *offset;
        reply.memoryChanged = true;
        break;
    }
    default:
        reply.refusal = "unknown command";
        answered = false;
        break;
    }
    if (!answered) {
        return reply;
    }
    if (m_behaviour.shortAnswers) {
        answer.length = static_cast<std::uint8_t>(answer.length / 2);
    }
    reply.answer = answer;
    return reply;
}
