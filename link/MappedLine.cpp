#include "MappedLine.h"

#include "NetworkPortsFile.h"
#include "SerialPort.h"

CMappedLine::CMappedLine(std::string appDirectory, std::map<int, std::string> endpoints,
                         std::string mappingError, NetworkLineOptions options)
    : m_strAppDirectory(std::move(appDirectory)), m_endpoints(std::move(endpoints)),
      m_mappingError(std::move(mappingError)), m_options(std::move(options)) {}

int CMappedLine::Open(int port, int baudRate) {
    if (m_line) {
        return m_line->Open(port, baudRate);
    }
    m_failure = PortFailure{};
    m_failure.port = port;
    if (!m_mappingError.empty()) {
        m_failure.reason = m_mappingError;
        return 0;
    }
    const auto mapped = m_endpoints.find(port);
    if (mapped != m_endpoints.end()) {
        std::string error;
        const std::optional<NetworkEndpoint> endpoint = ParseNetworkUrl(mapped->second, &error);
        if (!endpoint) {
            m_failure.device = mapped->second;
            m_failure.reason = std::string(kNetworkPortsFileName) + ": " + error;
            return 0;
        }
        m_line = std::make_unique<CNetworkLine>(*endpoint, m_options);
    } else {
        m_line = std::make_unique<CSerialPort>(m_strAppDirectory);
    }
    m_line->SetCancelFlag(m_pCancel);
    m_line->SetNoteSink(m_note);
    return m_line->Open(port, baudRate);
}

int CMappedLine::Close() {
    return m_line ? m_line->Close() : 1;
}

int CMappedLine::Write(const void* data, int size) {
    return m_line ? m_line->Write(data, size) : 0;
}

int CMappedLine::Read(void* buffer, int maxCount) {
    return m_line ? m_line->Read(buffer, maxCount) : 0;
}

bool CMappedLine::LineGone() {
    return m_line && m_line->LineGone();
}

const PortFailure& CMappedLine::Failure() const {
    return m_line ? m_line->Failure() : m_failure;
}

SerialHandle CMappedLine::NativeHandle() const {
    return m_line ? m_line->NativeHandle() : kNoSerialHandle;
}

LineWaitKind CMappedLine::WaitKind() const {
    return m_line ? m_line->WaitKind() : LineWaitKind::SerialPort;
}

LinePortFactory MappedPortFactory(NetworkLineOptions options) {
    return [options = std::move(options)](const std::string& appDirectory) {
        std::string directory = appDirectory;
        if (!directory.empty() && directory.back() != '/' && directory.back() != '\\') {
            directory += '/';
        }
        NetworkPorts ports;
        std::string error;
        (void)LoadNetworkPorts(directory, ports, error); // NotFound: no port is mapped
        return std::make_unique<CMappedLine>(appDirectory, std::move(ports.endpoints),
                                             std::move(error), options);
    };
}
