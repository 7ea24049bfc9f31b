#pragma once

#include "LinePort.h"
#include "NetSocket.h"
#include "NetworkEndpoint.h"
#include "TelnetClient.h"

#include <atomic>
#include <chrono>
#include <optional>
#include <string>

// How a network line connects and how long it waits for what.
struct NetworkLineOptions {
    NameResolver resolver = {};                // empty: the system's (ResolveName)
    std::chrono::milliseconds openLimit{5000}; // name, connect and the option negotiation
    // How long Open waits for the server to take up COM-PORT-CONTROL, within openLimit.
    std::chrono::milliseconds negotiationLimit{2000};
    // How long the line settings may take to be confirmed before the line says they were not.
    std::chrono::milliseconds confirmationLimit{3000};
    CancelCheck cancelled; // besides the cancel flag: a caller's own reason to give up
};

// A port that is a network endpoint: raw TCP, or Telnet with COM-PORT-CONTROL (RFC 2217), on
// which Open sets the line as on a local port. Name and connect happen in Open, bounded and
// cancellable; a connection refused, a name not found, a time-out, a connection closed or broken
// fail Open or make the line gone, with the endpoint and the reason in Failure
// ("mast-12.example.net:4001: Connection refused"). A server that never confirms a setting is
// not waited for: the line goes on and says so once through the note sink.
class CNetworkLine final : public ILinePort {
public:
    explicit CNetworkLine(NetworkEndpoint endpoint, NetworkLineOptions options = {});
    ~CNetworkLine() override;
    CNetworkLine(const CNetworkLine&) = delete;
    CNetworkLine& operator=(const CNetworkLine&) = delete;

    int Open(int port, int baudRate) override;
    int Close() override;
    int Write(const void* data, int size) override;
    int Read(void* buffer, int maxCount) override;
    bool LineGone() override;
    const PortFailure& Failure() const override { return m_failure; }
    void SetCancelFlag(const std::atomic<int>* flag) override { m_pCancel = flag; }
    SerialHandle NativeHandle() const override;
    LineWaitKind WaitKind() const override;
    void SetNoteSink(LineNoteFn sink) override { m_note = std::move(sink); }

    // Answers due to the server that the connection has not taken yet are kept up to this many
    // bytes; beyond it, a server that floods requests without reading goes unanswered.
    static constexpr std::size_t kMaxPendingReplies = 4096;

private:
    bool Cancelled() const;
    // Everything out within the deadline; false when it did not all go (the line may be gone).
    bool SendAll(const std::string& bytes, SteadyDeadline deadline);
    // What the connection takes now of the answers due; never waits.
    void FlushReplies();
    void Negotiate(SteadyDeadline deadline);
    void AskLineSettings();
    void CheckConfirmations();
    void Note(const std::string& text);
    void Fail(const std::string& reason);
    void MarkGone(const std::string& reason);

    NetworkEndpoint m_endpoint;
    NetworkLineOptions m_options;
    CNetSocket m_socket;
    std::optional<CTelnetClient> m_telnet; // for rfc2217:// while open
    std::string m_replies;                 // Telnet answers due to the server
    int m_nBaudRate = 0;
    bool m_bSettingsAsked = false;
    bool m_bConfirmationChecked = false;
    std::chrono::steady_clock::time_point m_confirmBy;
    bool m_bOpen = false;
    bool m_bGone = false;
    const std::atomic<int>* m_pCancel = nullptr;
    LineNoteFn m_note;
    PortFailure m_failure;
};
