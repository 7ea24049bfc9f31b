#pragma once

#include "LinePort.h"
#include "NetworkLine.h"

#include <map>
#include <memory>
#include <string>

// The line of a port number as the user set it up: the network endpoint that ports.json maps
// it to, or else the serial port of that number. The choice is made in Open; the rest goes to
// the line chosen.
class CMappedLine final : public ILinePort {
public:
    // endpoints: COM number -> URL. mappingError: why the mapping could not be read; when set,
    // every Open fails with it, since a port meant to be a network one must not quietly become
    // the serial port of its number.
    CMappedLine(std::string appDirectory, std::map<int, std::string> endpoints,
                std::string mappingError = {}, NetworkLineOptions options = {});

    int Open(int port, int baudRate) override;
    int Close() override;
    int Write(const void* data, int size) override;
    int Read(void* buffer, int maxCount) override;
    bool LineGone() override;
    const PortFailure& Failure() const override;
    void SetCancelFlag(const std::atomic<int>* flag) override { m_pCancel = flag; }
    SerialHandle NativeHandle() const override;
    LineWaitKind WaitKind() const override;
    void SetNoteSink(LineNoteFn sink) override { m_note = std::move(sink); }

private:
    std::string m_strAppDirectory;
    std::map<int, std::string> m_endpoints;
    std::string m_mappingError;
    NetworkLineOptions m_options;
    std::unique_ptr<ILinePort> m_line; // made by Open
    const std::atomic<int>* m_pCancel = nullptr;
    LineNoteFn m_note;
    PortFailure m_failure; // when Open made no line
};

// The factory the window and qal-cli give the link: reads ports.json in the link's settings
// folder at each connection, so that a mapping edited meanwhile counts from the next one.
LinePortFactory MappedPortFactory(NetworkLineOptions options = {});
