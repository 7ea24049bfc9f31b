#include "MeasurementReadout.h"

#include "DeviceCommands.h"
#include "MeasurementAnswer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// Speed readings shown since the program started; wraps at 65536. Lives as long as the program,
// across disconnects and reconnects.
std::uint16_t s_nReadingNo = 0;

constexpr TimerFn kPollFn = &TimerThunk<CMeasurementReadout, &CMeasurementReadout::PollMeasurement>;
constexpr CompletionFn kAnswerFn =
    &CompletionThunk<CMeasurementReadout, &CMeasurementReadout::OnMeasurementAnswer>;

// Bytes an answer must carry: the speed (or model marker) in 0-1, the status in 6.
constexpr std::uint8_t kMarkerLength = 2;
constexpr std::uint8_t kReadingLength = MeasurementAnswer::kStatusOffset + 1;

ReadingSample SampleOf(std::uint16_t readingNo, const MeasurementAnswer& answer) {
    ReadingSample sample;
    sample.readingNo = readingNo;
    sample.speedTenths = answer.speed();
    sample.status = answer.status();
    sample.failure = !answer.deviceInOrder();
    for (int output = 1; output <= 3; ++output) {
        sample.outputs[static_cast<std::size_t>(output - 1)] = answer.outputOn(output);
    }
    return sample;
}

} // namespace

std::string FormatSpeed(std::int16_t tenths) {
    const int magnitude = std::abs(static_cast<int>(tenths)); // -32768 fits an int
    char text[32];
    std::snprintf(text, sizeof text, "%c%2d.%1d [m/s]", tenths < 0 ? '-' : ' ', magnitude / 10,
                  magnitude % 10);
    return text;
}

std::string FormatReadInfo(std::uint16_t readingNo, std::uint8_t status) {
    MeasurementAnswer answer;
    answer.setStatus(status);
    char head[32];
    std::snprintf(head, sizeof head, "Nr odczytu: %d\r\n", readingNo);
    char outputs[48];
    std::snprintf(outputs, sizeof outputs, "\r\nWyjście 1-3 : %d %d %d\r\n",
                  answer.outputOn(1) ? 1 : 0, answer.outputOn(2) ? 1 : 0,
                  answer.outputOn(3) ? 1 : 0);
    return std::string(head) + (answer.deviceInOrder() ? "" : "Awaria urządzenia !") + outputs;
}

std::uint16_t CMeasurementReadout::NextReadingNo() {
    return s_nReadingNo;
}

void CMeasurementReadout::PollMeasurement(int action) {
    if (action == 1) {
        m_bActive = true;
        static constexpr std::uint8_t kRequest[kMeasurementRequestLength] = {0, 0, 0};
        m_pOwner->SubmitRequest(m_pOwner->DeviceAddress(), CMD_READ_MEASUREMENT, kRequest,
                                kMeasurementRequestLength, this, kAnswerFn);
        return;
    }
    m_bActive = false;
    ShowNoReading();
    m_pOwner->OnReadingMissed();
    m_pOwner->StopTimers(this, kPollFn, 1);
}

void CMeasurementReadout::ShowNoReading() {
    m_pOwner->SetSpeedText(kNoSpeedText);
    m_pOwner->SetReadInfoText("");
}

void CMeasurementReadout::OnMeasurementAnswer(const LinkMessage* answer) {
    if (!m_bActive) {
        return; // the link went down while this reading was on its way
    }
    // An answer too short for what it claims is no answer: bytes past its length carry nothing.
    if (answer == nullptr || answer->length < kMarkerLength) {
        ShowNoReading();
        m_pOwner->OnReadingMissed();
    } else {
        MeasurementAnswer reading;
        std::copy_n(answer->payload,
                    std::min<std::size_t>(answer->length, MeasurementAnswer::kSize),
                    reading.bytes.begin());
        if (reading.isModelMarker()) {
            m_pOwner->SetSpeedText(kModelText);
            m_pOwner->EnableModelFunctions();
        } else if (answer->length < kReadingLength) {
            ShowNoReading();
            m_pOwner->OnReadingMissed();
        } else {
            m_pOwner->SetSpeedText(FormatSpeed(reading.speed()));
            m_pOwner->SetReadInfoText(FormatReadInfo(s_nReadingNo, reading.status()));
            m_pOwner->OnReading(SampleOf(s_nReadingNo, reading));
            ++s_nReadingNo;
        }
    }
    // Two readings in flight still make one chain.
    if (!m_pOwner->IsTimerPending(this, kPollFn, 1)) {
        m_pOwner->StartTimer(this, kPollFn, kPollIntervalMs, 1);
    }
}
