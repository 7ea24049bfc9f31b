#pragma once

#include "DeviceMemory.h"
#include "GustyWind.h"
#include "LineDefaults.h"
#include "LinkMessage.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

enum class ModelMarkerMode {
    Never,  // every reading carries a speed
    First,  // the first reading of each session carries the model marker
    Always, // every reading carries the model marker
};

// What the device does with a write, so that tests can see a program notice a device that failed
// to take one.
enum class WriteMode {
    Keep,   // stored and answered
    Ignore, // neither stored nor answered
    Alter,  // a settings record is stored with its last byte changed, and answered as done
};

// How the device itself behaves; what happens on the line is the loop's business.
struct DeviceBehaviour {
    std::uint8_t address = kDefaultDeviceAddress;
    ModelMarkerMode modelMarker = ModelMarkerMode::First;
    bool failure = false;      // report a device failure in every reading
    bool shortAnswers = false; // cut every answer's payload to half its length
    WriteMode writes = WriteMode::Keep;
    std::optional<std::int16_t> fixedSpeed; // tenths of m/s; the gusty wind when empty
    std::uint32_t seed = 1;
    // A pause this long without any request ends a session: the terminal polls about once a
    // second while connected, so the next request comes from a new connection.
    std::chrono::milliseconds sessionGap{5000};
};

struct DeviceNow {
    WallClock::time_point wall;                   // drives the device clock
    std::chrono::steady_clock::time_point steady; // measures pauses between requests
};

struct DeviceReply {
    std::optional<LinkMessage> answer;
    std::string refusal;        // why there is no answer, for the log
    bool memoryChanged = false; // a write changed what the device keeps
};

// The device's version answer: the number and the text that follows it.
inline constexpr std::uint8_t kDeviceVersionNumber = 3;
inline constexpr char kDeviceVersionText[] = "QAL-1P symulator";

// A QAL-1P: answers requests to its address, keeps what is written to it.
class CDeviceModel {
public:
    CDeviceModel(const DeviceBehaviour& behaviour, const DeviceMemory& memory);

    // The answer carries the request's command and the device's address. Writes are answered
    // with an empty payload once stored; a write whose payload is not exactly its record, or a
    // time that is no valid date, is refused without answer, so that the terminal never takes
    // it for done.
    DeviceReply Handle(const LinkMessage& request, const DeviceNow& now);

    const DeviceMemory& Memory() const { return m_memory; }
    std::uint8_t Address() const { return m_behaviour.address; }

private:
    void PutMeasurement(LinkMessage& answer);
    std::int16_t NextSpeed();

    DeviceBehaviour m_behaviour;
    DeviceMemory m_memory;
    CGustyWind m_wind;
    bool m_markerShown = false; // the model marker has gone out in this session
    std::optional<std::chrono::steady_clock::time_point> m_lastRequest;
};
