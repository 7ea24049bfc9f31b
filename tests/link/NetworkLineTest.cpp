#include "NetworkLine.h"
#include "LinkWorker.h"
#include "TcpPeer.h"
#include "TestMessages.h"
#include "WorkerHarness.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// What the server answers to the client's opening offers.
const std::string kServerAgrees =
    Bytes({255, 253, 44, 255, 253, 0, 255, 251, 0, 255, 253, 3, 255, 251, 3});
const std::string kClientBegins =
    Bytes({255, 251, 44, 255, 251, 0, 255, 253, 0, 255, 251, 3, 255, 253, 3});
// The seven requests that set the line: the speed's, then six with one value byte each.
constexpr std::size_t kClientSettingsSize = 10 + 6 * 7;
// A server's confirmations of all of them at 19200 baud.
const std::string kServerConfirms = Bytes(
    {255, 250, 44,  101, 0,   0,   0x4B, 0,   255, 240, 255, 250, 44,  102, 8,   255, 240, 255,
     250, 44,  103, 1,   255, 240, 255,  250, 44,  104, 1,   255, 240, 255, 250, 44,  105, 9,
     255, 240, 255, 250, 44,  105, 12,   255, 240, 255, 250, 44,  112, 3,   255, 240});

// Short limits, so that the cases that wait for them run quickly.
NetworkLineOptions QuickOptions() {
    NetworkLineOptions options;
    options.negotiationLimit = 300ms;
    options.confirmationLimit = 300ms;
    return options;
}

// Answers for names from a table, never asking the network: a name it knows stands for
// 127.0.0.1, any other is unknown.
NameResolver FakeResolver(std::vector<std::string> known) {
    return [known](const std::string& host, int port, SteadyDeadline, const CancelCheck&) {
        for (const std::string& name : known) {
            if (name == host) {
                return NumericAddress("127.0.0.1", port);
            }
        }
        Resolution unknown;
        unknown.error = "Name or service not known";
        return unknown;
    };
}

// A resolver that answers only once the line gives up, as a lookup that hangs would.
Resolution HangingResolver(const std::string&, int, SteadyDeadline deadline,
                           const CancelCheck& cancelled) {
    while (!cancelled() && Clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    Resolution none;
    none.error = cancelled() ? "cancelled" : "name lookup timed out";
    return none;
}

// A listener whose queue of connections is full: a new connection waits for ever.
class CBlackHole {
public:
    CBlackHole() {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_listener, 0) != 0 ||
            ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            return;
        }
        m_port = ntohs(address.sin_port);
        for (int i = 0; i < 4; ++i) { // more than the queue takes
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            (void)::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
            m_fillers.push_back(fd);
        }
        std::this_thread::sleep_for(50ms); // the handshakes that can complete have
    }
    ~CBlackHole() {
        for (const int fd : m_fillers) {
            ::close(fd);
        }
        ::close(m_listener);
    }
    int Port() const { return m_port; }

private:
    int m_listener = -1;
    int m_port = 0;
    std::vector<int> m_fillers;
};

int ClosedPort() {
    CTcpPeer peer; // bound, then closed: nothing listens there any more
    return peer.Port();
}

NetworkEndpoint Endpoint(NetworkProtocol protocol, std::string host, int port) {
    return NetworkEndpoint{protocol, std::move(host), port};
}

TEST(NetworkLine, OpenFailsWithTheEndpointAndTheReason) {
    CBlackHole blackHole;
    ASSERT_NE(blackHole.Port(), 0);
    struct Case {
        const char* name;
        NetworkEndpoint endpoint;
        NameResolver resolver;
        std::chrono::milliseconds limit;
        std::string reason;
    };
    const int closed = ClosedPort();
    const Case cases[] = {
        {"refused",
         Endpoint(NetworkProtocol::Raw, "127.0.0.1", closed),
         {},
         5000ms,
         "127.0.0.1:" + std::to_string(closed) + ": Connection refused"},
        {"refused by name", Endpoint(NetworkProtocol::Rfc2217, "mast-12.example.net", closed),
         FakeResolver({"mast-12.example.net"}), 5000ms,
         "mast-12.example.net:" + std::to_string(closed) + ": Connection refused"},
        {"name not found", Endpoint(NetworkProtocol::Rfc2217, "mast-12.example.net", 4001),
         FakeResolver({}), 5000ms, "mast-12.example.net:4001: Name or service not known"},
        {"lookup that hangs", Endpoint(NetworkProtocol::Raw, "mast-12.example.net", 4001),
         HangingResolver, 300ms, "mast-12.example.net:4001: name lookup timed out"},
        {"connect that hangs",
         Endpoint(NetworkProtocol::Raw, "127.0.0.1", blackHole.Port()),
         {},
         300ms,
         "127.0.0.1:" + std::to_string(blackHole.Port()) + ": Connection timed out"},
    };
    for (const Case& c : cases) {
        NetworkLineOptions options;
        options.resolver = c.resolver;
        options.openLimit = c.limit;
        CNetworkLine line(c.endpoint, options);
        const auto start = Clock::now();
        EXPECT_EQ(line.Open(5, 19200), 0) << c.name;
        EXPECT_LT(Clock::now() - start, c.limit + 500ms) << c.name;
        EXPECT_EQ(line.Failure().reason, c.reason) << c.name;
        EXPECT_EQ(line.Failure().device, c.endpoint.Url()) << c.name;
        EXPECT_EQ(line.Failure().port, 5) << c.name;
        EXPECT_FALSE(line.Failure().lost) << c.name;
        EXPECT_EQ(line.NativeHandle(), kNoSerialHandle) << c.name;
    }
}

// The notes the line left in the wire trace, the port number in them as PORT; waits up to two
// seconds for as many as expected.
std::vector<std::string> TakeNotes(CWorkerHarness& harness, int port, std::size_t expected) {
    std::vector<std::string> notes;
    const auto deadline = Clock::now() + 2s;
    do {
        std::vector<WireRecord> records;
        harness.Context().wireTrace.Drain(records);
        for (const WireRecord& record : records) {
            if (record.event == WireEvent::Note) {
                std::string note(reinterpret_cast<const char*>(record.bytes), record.size);
                const std::string number = std::to_string(port);
                if (const std::size_t at = note.find(number); at != std::string::npos) {
                    note.replace(at, number.size(), "PORT");
                }
                notes.push_back(note);
            }
        }
        if (notes.size() < expected) {
            std::this_thread::sleep_for(20ms);
        }
    } while (notes.size() < expected && Clock::now() < deadline);
    return notes;
}

// The worker on a network line, as the link controller runs it.
class NetworkWorker : public testing::Test {
protected:
    void Run(NetworkEndpoint endpoint, NetworkLineOptions options = QuickOptions()) {
        m_harness.Context().makePort = [endpoint, options](const std::string&) {
            return std::make_unique<CNetworkLine>(endpoint, options);
        };
        m_harness.Context().wireTrace.Listen(true);
        m_harness.Start();
    }

    bool Connected() { return m_harness.Next(kLinkEventConnected).has_value(); }

    CTcpPeer m_peer;
    CWorkerHarness m_harness{5, ""};
};

TEST_F(NetworkWorker, StopEndsAnOpenThatWaitsAndTheLinkEndsNormally) {
    CBlackHole blackHole;
    struct Case {
        const char* name;
        NetworkEndpoint endpoint;
        NameResolver resolver;
    };
    const Case cases[] = {
        {"lookup", Endpoint(NetworkProtocol::Raw, "mast-12.example.net", 4001), HangingResolver},
        {"connect", Endpoint(NetworkProtocol::Rfc2217, "127.0.0.1", blackHole.Port()), {}},
    };
    for (const Case& c : cases) {
        CWorkerHarness harness(5, "");
        NetworkLineOptions options;
        options.resolver = c.resolver;
        harness.Context().makePort = [c, options](const std::string&) {
            return std::make_unique<CNetworkLine>(c.endpoint, options);
        };
        harness.Start();
        ASSERT_TRUE(harness.Next(kLinkEventOpening)) << c.name;
        std::this_thread::sleep_for(100ms);
        const auto stop = Clock::now();
        EXPECT_EQ(harness.StopAndJoin(), 0) << c.name << ": a stop is no port failure";
        EXPECT_LT(Clock::now() - stop, 300ms) << c.name;
    }
}

TEST_F(NetworkWorker, TheRequestsSetTheLineByteForByte) {
    ASSERT_TRUE(m_peer.Ok());
    m_harness.Context().baudRate = 9600;
    Run(Endpoint(NetworkProtocol::Rfc2217, "127.0.0.1", m_peer.Port()));
    ASSERT_TRUE(m_peer.Accept());
    EXPECT_EQ(m_peer.Receive(kClientBegins.size(), 2s), kClientBegins);
    ASSERT_TRUE(m_peer.Send(kServerAgrees));
    const std::string settings = Bytes({255, 250, 44, 1,  0,  0,   0x25, 0x80, 255, 240, // 9600
                                        255, 250, 44, 2,  8,  255, 240,   // 8 data bits
                                        255, 250, 44, 3,  1,  255, 240,   // no parity
                                        255, 250, 44, 4,  1,  255, 240,   // 1 stop bit
                                        255, 250, 44, 5,  9,  255, 240,   // DTR off
                                        255, 250, 44, 5,  12, 255, 240,   // RTS off
                                        255, 250, 44, 12, 3,  255, 240}); // purge both
    EXPECT_EQ(m_peer.Receive(settings.size(), 2s), settings);
    ASSERT_TRUE(Connected());
    // Answered in full: nothing to note.
    ASSERT_TRUE(m_peer.Send(Bytes(
        {255, 250, 44,  101, 0,   0,   0x25, 0x80, 255, 240, 255, 250, 44,  102, 8,   255, 240, 255,
         250, 44,  103, 1,   255, 240, 255,  250,  44,  104, 1,   255, 240, 255, 250, 44,  105, 9,
         255, 240, 255, 250, 44,  105, 12,   255,  240, 255, 250, 44,  112, 3,   255, 240})));
    m_harness.Send(0x21);
    EXPECT_EQ(m_peer.Receive(11, 2s), "\n\r:031F21BD");
    std::this_thread::sleep_for(400ms);
    EXPECT_TRUE(TakeNotes(m_harness, m_peer.Port(), 0).empty());
    EXPECT_EQ(m_harness.StopAndJoin(), 0);
    EXPECT_TRUE(m_peer.ClosedByTerminal(1s));
}

// A server of the test's own that misbehaves in one way each: the line must not hang, crash or
// grow, and must end or stay as the case says.
TEST_F(NetworkWorker, HostileServers) {
    const std::string frame = WireText(MakeMessage(0x21, {1, 2}));
    struct Case {
        const char* name;
        NetworkProtocol protocol;
        std::function<void(CTcpPeer&)> server; // after the connection was taken
        bool ends;                             // the link ends as a lost line
        int answers;                           // messages 21h the window gets
        std::vector<std::string> notes;
    };
    auto bytewise = [](CTcpPeer& peer, const std::string& text) {
        for (const char c : text) {
            peer.Send(std::string(1, c));
            std::this_thread::sleep_for(1ms);
        }
    };
    // Agrees to everything and takes the client's requests before anything else happens, as
    // a device server does; the line's own bytes come after that.
    auto agree = [](CTcpPeer& peer) {
        peer.Send(kServerAgrees);
        (void)peer.Receive(kClientBegins.size() + kClientSettingsSize, 2s);
        peer.Send(kServerConfirms);
    };
    std::string withCommands;
    for (const char c : frame) {
        withCommands += c;
        withCommands += Bytes({255, 241}); // no-operation after every byte
    }
    const std::string withIacIac = frame.substr(0, 5) + Bytes({255, 255}) + frame.substr(5);
    const Case cases[] = {
        {"closes mid-frame",
         NetworkProtocol::Raw,
         [&](CTcpPeer& peer) {
             peer.Send(frame.substr(0, 6));
             peer.CloseClient();
         },
         true,
         0,
         {}},
        {"accepts and never sends", NetworkProtocol::Raw, [](CTcpPeer&) {}, false, 0, {}},
        {"never answers the negotiation",
         NetworkProtocol::Rfc2217,
         [](CTcpPeer&) {},
         false,
         0,
         {"RFC 2217: brak odpowiedzi na COM-PORT-OPTION; linia bez ustawień"}},
        {"refuses the line settings",
         NetworkProtocol::Rfc2217,
         [&](CTcpPeer& peer) {
             peer.Send(Bytes({255, 254, 44}));
         },
         false,
         0,
         {"RFC 2217: serwer odmówił COM-PORT-OPTION; linia bez ustawień"}},
        {"never confirms the settings",
         NetworkProtocol::Rfc2217,
         [&](CTcpPeer& peer) {
             peer.Send(kServerAgrees);
             (void)peer.Receive(kClientBegins.size() + kClientSettingsSize, 2s);
             peer.Send(frame);
         },
         false,
         1,
         {"RFC 2217: brak potwierdzenia: prędkość, bity danych, parzystość, bity stopu, DTR, RTS, "
          "czyszczenie buforów"}},
        {"commands split across reads inside a frame",
         NetworkProtocol::Rfc2217,
         [&](CTcpPeer& peer) {
             agree(peer);
             bytewise(peer, withCommands + frame);
         },
         false,
         2,
         {}},
        {"IAC IAC inside a frame",
         NetworkProtocol::Rfc2217,
         [&](CTcpPeer& peer) {
             agree(peer);
             peer.Send(withIacIac + frame);
         },
         false,
         1,
         {}},
        {"unasked options, again and again",
         NetworkProtocol::Rfc2217,
         [&](CTcpPeer& peer) {
             agree(peer);
             for (int i = 0; i < 200; ++i) {
                 peer.Send(Bytes({255, 253, 24, 255, 251, 1, 255, 253, 31}));
             }
             peer.Send(frame);
         },
         false,
         1,
         {}},
        {"closes after a frame",
         NetworkProtocol::Rfc2217,
         [&](CTcpPeer& peer) {
             agree(peer);
             peer.Send(frame);
             std::this_thread::sleep_for(50ms);
             peer.CloseClient();
         },
         true,
         1,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTcpPeer peer;
        CWorkerHarness harness(5, "");
        const NetworkEndpoint endpoint = Endpoint(c.protocol, "127.0.0.1", peer.Port());
        harness.Context().makePort = [endpoint](const std::string&) {
            return std::make_unique<CNetworkLine>(endpoint, QuickOptions());
        };
        harness.Context().wireTrace.Listen(true);
        harness.Start();
        ASSERT_TRUE(peer.Accept());
        c.server(peer);
        ASSERT_TRUE(harness.Next(kLinkEventConnected));
        int answers = 0;
        while (answers < c.answers && harness.Next(0x21, 2s)) {
            ++answers;
        }
        EXPECT_EQ(answers, c.answers);
        const auto ended = harness.Next(kLinkEventEnded, c.ends ? 2000ms : 600ms);
        EXPECT_EQ(ended.has_value(), c.ends);
        // A note on confirmations comes once their time is up, at the worker's next look.
        const std::vector<std::string> notes = TakeNotes(harness, peer.Port(), c.notes.size());
        EXPECT_EQ(notes, c.notes);
        const int result = harness.StopAndJoin();
        EXPECT_EQ(result, c.ends ? 2 : 0);
        if (c.ends) {
            EXPECT_TRUE(harness.Context().failure.lost);
            EXPECT_EQ(harness.Context().failure.reason, "127.0.0.1:" + std::to_string(peer.Port()) +
                                                            ": connection closed by the server");
        }
    }
}

TEST_F(NetworkWorker, AFloodNeitherGrowsTheListsNorKeepsARequestBack) {
    for (const NetworkProtocol protocol : {NetworkProtocol::Raw, NetworkProtocol::Rfc2217}) {
        SCOPED_TRACE(protocol == NetworkProtocol::Raw ? "raw" : "rfc2217");
        CTcpPeer peer;
        CWorkerHarness harness(5, "");
        const NetworkEndpoint endpoint = Endpoint(protocol, "127.0.0.1", peer.Port());
        harness.Context().makePort = [endpoint](const std::string&) {
            return std::make_unique<CNetworkLine>(endpoint, QuickOptions());
        };
        harness.Start();
        ASSERT_TRUE(peer.Accept());
        if (protocol == NetworkProtocol::Rfc2217) {
            ASSERT_TRUE(peer.Send(kServerAgrees));
        }
        ASSERT_TRUE(harness.Next(kLinkEventConnected));
        // Frames, option requests and doubled IACs, for three seconds without a pause.
        const std::string frame = WireText(MakeMessage(0x21, {1, 2}));
        std::string chunk;
        while (chunk.size() < 64 * 1024) {
            chunk += frame + Bytes({255, 255, 255, 253, 24, 255, 241});
        }
        std::atomic<bool> flooding{true};
        std::thread flood([&] {
            while (flooding) {
                if (!peer.Send(chunk)) {
                    break;
                }
            }
        });
        std::this_thread::sleep_for(500ms);
        harness.Send(0x22, {0, 0, 0});
        const std::string sent = peer.Receive(200 * 1024, 1500ms); // the request among answers
        flooding = false;
        flood.join();
        EXPECT_NE(sent.find("\n\r:061F22000000B9"), std::string::npos);
        {
            const std::lock_guard<std::mutex> guard(harness.Context().lock);
            EXPECT_LE(harness.Context().toWindow.Size(), CWindowList::kCapacity + 8u);
        }
        const auto stop = Clock::now();
        EXPECT_EQ(harness.StopAndJoin(), 0);
        EXPECT_LT(Clock::now() - stop, 1s);
    }
}

} // namespace
