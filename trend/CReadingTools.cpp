#include "CReadingTools.h"

#include "CTrendWindow.h"
#include "CWinApp.h"
#include "FileError.h"
#include "MessageBoxTypes.h"
#include "WindowPlacement.h"

#include <QFileDialog>

#include <chrono>
#include <utility>

namespace {

std::string AskFileByDialog(QWidget* parent) {
    // An existing file is appended to, so asking whether to replace it would mislead.
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Zapisuj odczyty do pliku"),
                                        QString(),
                                        QStringLiteral("Pliki CSV (*.csv);;Wszystkie pliki (*)"),
                                        nullptr, QFileDialog::DontConfirmOverwrite)
        .toStdString();
}

std::int64_t WallClockMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

CReadingTools::CReadingTools(std::function<void(const std::string&)> log, std::size_t trendCapacity)
    : m_log(std::move(log)), m_askFile(AskFileByDialog), m_clock(WallClockMs),
      m_ring(trendCapacity) {
    m_writeFailureBox.setSingleShot(true);
    QObject::connect(&m_writeFailureBox, &QTimer::timeout, [this] { ShowWriteFailure(); });
}

CReadingTools::~CReadingTools() {
    delete m_trendWindow.data(); // it reads the ring that goes with this object
}

void CReadingTools::OnReading(const ReadingSample& reading) {
    const std::int64_t now = m_clock();
    m_ring.AddReading(now, reading);
    if (m_recorder.IsOpen() && !m_recorder.Write(now, reading)) {
        // Closed already, so that readings coming while the box is open write nothing.
        m_writeFailure =
            "Błąd zapisu do pliku '" + m_recorder.Path() + "'. Zapis odczytów przerwano.";
        m_log(m_writeFailure);
        m_writeFailureBox.start(0);
    }
    RefreshTrend();
}

void CReadingTools::ShowWriteFailure() {
    const std::string text = std::exchange(m_writeFailure, {});
    (void)AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION); // only OK to answer
}

void CReadingTools::OnReadingMissed() {
    m_ring.AddGap(m_clock());
    RefreshTrend();
}

void CReadingTools::RefreshTrend() {
    if (m_trendWindow) {
        m_trendWindow->Refresh(); // nothing while hidden
    }
}

void CReadingTools::ShowTrend(QWidget* parent) {
    if (!m_trendWindow) {
        m_trendWindow = new CTrendWindow(m_ring, m_clock, parent); // the main window owns it
        PlaceWhollyOnScreen(*m_trendWindow, parent);
    }
    m_trendWindow->show();
    m_trendWindow->raise();
    m_trendWindow->activateWindow();
}

void CReadingTools::ToggleRecording(QWidget* parent) {
    if (m_recorder.IsOpen()) {
        StopRecording();
    } else {
        StartRecording(parent);
    }
}

void CReadingTools::StartRecording(QWidget* parent) {
    const std::string path = m_askFile(parent);
    if (path.empty()) {
        return;
    }
    if (!m_recorder.Open(path)) {
        const std::string text = "Nie można zapisywać odczytów do pliku '" + path +
                                 "': " + FileReasonText(m_recorder.LastError()) + ".";
        m_log(text);
        (void)AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION); // only OK to answer
        return;
    }
    m_log("Zapis odczytów do pliku '" + path + "' rozpoczęto" +
          (m_recorder.Created() ? " (nowy plik)" : " (dopisywanie)"));
}

void CReadingTools::StopRecording() {
    const std::string path = m_recorder.Path();
    m_recorder.Close();
    m_log("Zapis odczytów do pliku '" + path + "' zakończono");
}
