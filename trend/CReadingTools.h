#pragma once

#include "CTrendWindow.h"
#include "ReadingRecorder.h"
#include "ReadingSample.h"
#include "TrendRing.h"

#include <QPointer>
#include <QTimer>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class QWidget;

// What the window menu offers for the readings the readout shows: the speed plot, which keeps
// the last day of readings whether it is open or not, and recording them to a CSV file.
class CReadingTools {
public:
    // The file to record to (new, or appended to), or empty when the user cancelled.
    using FileQuestion = std::function<std::string(QWidget* parent)>;
    using Clock = std::function<std::int64_t()>; // wall clock, ms since the epoch

    // trendCapacity: how many points the plot's ring keeps (a day of readings unless a test
    // wants it full sooner).
    explicit CReadingTools(std::function<void(const std::string& line)> log,
                           std::size_t trendCapacity = CTrendRing::kDayOfReadings);
    ~CReadingTools();
    CReadingTools(const CReadingTools&) = delete;
    CReadingTools& operator=(const CReadingTools&) = delete;

    void OnReading(const ReadingSample& reading);
    void OnReadingMissed();

    // Opens the plot, or brings it to the front.
    void ShowTrend(QWidget* parent);
    // On: asks for a file and starts writing to it. Off: stops.
    void ToggleRecording(QWidget* parent);
    bool IsRecording() const { return m_recorder.IsOpen(); }

    const CTrendRing& Ring() const { return m_ring; }
    CTrendWindow* TrendWindow() const { return m_trendWindow; }

    void SetFileQuestion(FileQuestion question) { m_askFile = std::move(question); }
    void SetClock(Clock clock) { m_clock = std::move(clock); }

private:
    void StartRecording(QWidget* parent);
    void StopRecording();
    void RefreshTrend();
    void ShowWriteFailure();

    std::function<void(const std::string&)> m_log;
    FileQuestion m_askFile;
    Clock m_clock;
    CTrendRing m_ring;
    CReadingRecorder m_recorder;
    // A failed write is told in a box once the reading's handling is over: a box opened within it
    // would hold up the next poll for as long as it stays open.
    QTimer m_writeFailureBox;
    std::string m_writeFailure;
    QPointer<CTrendWindow> m_trendWindow; // a child of the main window, which may go first
};
