#include "NetworkLine.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kWriteLimit = std::chrono::seconds(5);
// While a wait may be cancelled, it looks at the cancel this often.
constexpr int kCancelCheckMs = 20;

int MillisecondsLeft(SteadyDeadline deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

} // namespace

CNetworkLine::CNetworkLine(NetworkEndpoint endpoint, NetworkLineOptions options)
    : m_endpoint(std::move(endpoint)), m_options(std::move(options)) {}

CNetworkLine::~CNetworkLine() {
    Close();
}

bool CNetworkLine::Cancelled() const {
    return (m_pCancel != nullptr && m_pCancel->load() != 0) ||
           (m_options.cancelled && m_options.cancelled());
}

void CNetworkLine::Note(const std::string& text) {
    if (m_note) {
        m_note(text);
    }
}

void CNetworkLine::Fail(const std::string& reason) {
    m_failure.reason = m_endpoint.HostPort() + ": " + reason;
}

void CNetworkLine::MarkGone(const std::string& reason) {
    if (!m_bGone) {
        m_bGone = true;
        Fail(reason);
        m_failure.lost = true;
    }
}

int CNetworkLine::Open(int port, int baudRate) {
    if (m_bOpen) {
        return 1;
    }
    m_failure = PortFailure{};
    m_failure.port = port;
    m_failure.device = m_endpoint.Url();
    const SteadyDeadline deadline = Clock::now() + m_options.openLimit;
    const CancelCheck cancelled = [this] { return Cancelled(); };

    const Resolution resolved =
        m_options.resolver
            ? m_options.resolver(m_endpoint.host, m_endpoint.port, deadline, cancelled)
            : ResolveName(m_endpoint.host, m_endpoint.port, deadline, cancelled);
    if (resolved.addresses.empty()) {
        Fail(resolved.error.empty() ? std::string("name not found") : resolved.error);
        return 0;
    }
    const std::string refused = m_socket.Connect(resolved.addresses, deadline, cancelled);
    if (!refused.empty()) {
        Fail(refused);
        return 0;
    }
    m_bOpen = true;
    m_bGone = false;
    m_nBaudRate = baudRate;
    if (m_endpoint.protocol == NetworkProtocol::Rfc2217) {
        Negotiate(deadline);
        if (m_bGone || Cancelled()) {
            const bool gone = m_bGone;
            PortFailure failure = m_failure;
            Close();
            m_failure = failure;
            m_failure.lost = false; // it never was connected as far as the caller knows
            if (!gone) {
                Fail("cancelled");
            }
            return 0;
        }
    }
    return 1;
}

void CNetworkLine::Negotiate(SteadyDeadline deadline) {
    m_telnet.emplace();
    m_bSettingsAsked = false;
    m_bConfirmationChecked = false;
    std::string offers;
    m_telnet->Begin(offers);
    if (!SendAll(offers, deadline)) {
        return;
    }
    // The line is set only once the server has taken up the option; bytes of the line that come
    // before are dropped, as a local port drops what arrived before it was opened.
    const SteadyDeadline negotiated = std::min(deadline, Clock::now() + m_options.negotiationLimit);
    std::uint8_t buffer[256];
    while (m_telnet->ComPortState() == CTelnetClient::ComPort::Asked && !Cancelled()) {
        const int left = MillisecondsLeft(negotiated);
        if (left == 0) {
            break;
        }
        if (!m_socket.WaitReadable(std::min(left, kCancelCheckMs))) {
            continue;
        }
        const int n = m_socket.Receive(buffer, sizeof buffer);
        if (n < 0) {
            MarkGone(m_socket.Error());
            return;
        }
        (void)m_telnet->Receive(buffer, static_cast<std::size_t>(n), buffer, m_replies);
        if (!SendAll(std::exchange(m_replies, {}), deadline)) {
            return;
        }
    }
    switch (m_telnet->ComPortState()) {
    case CTelnetClient::ComPort::Agreed:
        AskLineSettings();
        FlushReplies();
        break;
    case CTelnetClient::ComPort::Refused:
        Note("RFC 2217: serwer odmówił COM-PORT-OPTION; linia bez ustawień");
        break;
    case CTelnetClient::ComPort::Asked:
        if (!Cancelled()) {
            Note("RFC 2217: brak odpowiedzi na COM-PORT-OPTION; linia bez ustawień");
        }
        break;
    }
}

void CNetworkLine::AskLineSettings() {
    m_telnet->RequestLineSettings(m_nBaudRate, m_replies);
    m_bSettingsAsked = true;
    m_confirmBy = Clock::now() + m_options.confirmationLimit;
}

void CNetworkLine::CheckConfirmations() {
    if (!m_bSettingsAsked || m_bConfirmationChecked || Clock::now() < m_confirmBy) {
        return;
    }
    m_bConfirmationChecked = true;
    const unsigned unconfirmed = m_telnet->Unconfirmed();
    if (unconfirmed != 0) {
        Note("RFC 2217: brak potwierdzenia: " + CTelnetClient::SettingNames(unconfirmed));
    }
}

int CNetworkLine::Close() {
    m_socket.Close();
    m_telnet.reset();
    m_replies.clear();
    m_bOpen = false;
    m_bGone = false;
    return 1;
}

bool CNetworkLine::SendAll(const std::string& bytes, SteadyDeadline deadline) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = m_socket.Send(bytes.data() + sent, static_cast<int>(bytes.size() - sent));
        if (n < 0) {
            MarkGone(m_socket.Error());
            return false;
        }
        sent += static_cast<std::size_t>(n);
        if (sent == bytes.size()) {
            break;
        }
        const int left = MillisecondsLeft(deadline);
        if (left == 0 || Cancelled()) {
            return false;
        }
        (void)m_socket.WaitWritable(std::min(left, kCancelCheckMs));
    }
    return true;
}

void CNetworkLine::FlushReplies() {
    if (m_replies.empty() || m_bGone) {
        return;
    }
    const int n = m_socket.Send(m_replies.data(), static_cast<int>(m_replies.size()));
    if (n < 0) {
        MarkGone(m_socket.Error());
        return;
    }
    m_replies.erase(0, static_cast<std::size_t>(n));
}

int CNetworkLine::Write(const void* data, int size) {
    if (!m_bOpen || m_bGone || data == nullptr || size <= 0) {
        return 0;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    // Answers due go first, in the order they were due.
    std::string out = std::exchange(m_replies, {});
    if (m_telnet) {
        m_telnet->EscapeData(bytes, static_cast<std::size_t>(size), out);
    } else {
        out.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
    }
    // The caller does not look at short writes: a lost frame ends as its request's time-out.
    return SendAll(out, Clock::now() + kWriteLimit) ? size : 0;
}

int CNetworkLine::Read(void* buffer, int maxCount) {
    if (!m_bOpen || m_bGone || buffer == nullptr || maxCount <= 0) {
        return 0;
    }
    FlushReplies();
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    const int n = m_socket.Receive(bytes, maxCount);
    if (n < 0) {
        MarkGone(m_socket.Error());
        return 0;
    }
    if (!m_telnet) {
        return n;
    }
    const std::size_t due = m_replies.size();
    const std::size_t data =
        m_telnet->Receive(bytes, static_cast<std::size_t>(n), bytes, m_replies);
    if (m_replies.size() > kMaxPendingReplies) {
        m_replies.resize(due); // a server that asks and never reads gets no more answers
    }
    if (!m_bSettingsAsked && m_telnet->ComPortState() == CTelnetClient::ComPort::Agreed) {
        AskLineSettings(); // a server that agreed late
    }
    FlushReplies();
    CheckConfirmations();
    return static_cast<int>(data);
}

bool CNetworkLine::LineGone() {
    if (!m_bOpen) {
        return false;
    }
    if (!m_bGone && m_socket.Broken()) {
        MarkGone(m_socket.Error());
    }
    return m_bGone;
}

SerialHandle CNetworkLine::NativeHandle() const {
    return m_bOpen ? m_socket.WaitHandle() : kNoSerialHandle;
}

LineWaitKind CNetworkLine::WaitKind() const {
#if defined(_WIN32)
    return LineWaitKind::Event;
#else
    return LineWaitKind::SerialPort;
#endif
}
