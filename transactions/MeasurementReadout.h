#pragma once

#include "QueueTypes.h"
#include "ReadingSample.h"
#include "TimerTable.h"

#include <cstdint>
#include <string>

// What the live readout needs of the main window.
class IReadoutOwner : public IRequestSubmitter, public virtual IOneShotTimers {
public:
    // The large speed field and the details field beside it.
    virtual void SetSpeedText(const std::string& text) = 0;
    virtual void SetReadInfoText(const std::string& text) = 0;
    // "Aktualizuj czas" and "Konfiguracja czytnika": offered only to a device that reports its
    // model.
    virtual void EnableModelFunctions() = 0;
    virtual std::uint8_t DeviceAddress() const = 0;
    // Each speed reading shown, and each place where one is missing: a reading request without
    // an answer, or the readout stopped with the link. For tools that follow the readings.
    virtual void OnReading(const ReadingSample& /*sample*/) {}
    virtual void OnReadingMissed() {}

protected:
    ~IReadoutOwner() = default;
};

// Texts of the readout.
inline constexpr const char* kNoSpeedText = " - - - -";
inline constexpr const char* kModelText = " QAL-1P ";

// " 12.3 [m/s]": sign or blank, whole metres per second in at least two places, one decimal.
std::string FormatSpeed(std::int16_t tenths);
// Reading number, "Awaria urządzenia !" on a failure, and the three outputs.
std::string FormatReadInfo(std::uint16_t readingNo, std::uint8_t status);

// The wind speed read about once a second while the link is up: one request, its completion
// shows the reading and arms a kPollIntervalMs timer, whose tick sends the next request.
class CMeasurementReadout {
public:
    static constexpr unsigned kPollIntervalMs = 1000;

    explicit CMeasurementReadout(IReadoutOwner& owner) : m_pOwner(&owner) {}

    // 1: request one reading now and keep the chain going; anything else: stop and blank.
    void PollMeasurement(int action);
    // The completion of every reading request; null when no answer came.
    void OnMeasurementAnswer(const LinkMessage* answer);

    // The number the next speed reading is shown with; counts for the whole program.
    static std::uint16_t NextReadingNo();

private:
    void ShowNoReading();

    IReadoutOwner* m_pOwner;
    // Cleared on stop, so that a reading still in flight cannot restart the chain while the link
    // is down.
    bool m_bActive = false;
};
