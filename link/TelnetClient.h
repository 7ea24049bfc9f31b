#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Telnet's command bytes and the options a serial line over Telnet needs.
namespace telnet {
inline constexpr std::uint8_t kSe = 240;
inline constexpr std::uint8_t kNop = 241;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kIac = 255;

inline constexpr std::uint8_t kOptionBinary = 0;
inline constexpr std::uint8_t kOptionSuppressGoAhead = 3;
inline constexpr std::uint8_t kOptionComPort = 44;

// COM-PORT-OPTION commands from the client; the server answers each with the same plus 100.
inline constexpr std::uint8_t kSignature = 0;
inline constexpr std::uint8_t kSetBaudRate = 1;
inline constexpr std::uint8_t kSetDataSize = 2;
inline constexpr std::uint8_t kSetParity = 3;
inline constexpr std::uint8_t kSetStopSize = 4;
inline constexpr std::uint8_t kSetControl = 5;
inline constexpr std::uint8_t kPurgeData = 12;
inline constexpr std::uint8_t kServerReply = 100;

inline constexpr std::uint8_t kParityNone = 1;
inline constexpr std::uint8_t kOneStopBit = 1;
inline constexpr std::uint8_t kDtrOn = 8;
inline constexpr std::uint8_t kDtrOff = 9;
inline constexpr std::uint8_t kRtsOn = 11;
inline constexpr std::uint8_t kRtsOff = 12;
inline constexpr std::uint8_t kPurgeBoth = 3;
} // namespace telnet

// The client's side of a Telnet connection to a serial device server that speaks the
// COM-PORT-CONTROL option, without any I/O: what to send at the start, what the received bytes
// hold for the line and what they ask to be answered, and which line settings the server has
// confirmed. Asks for BINARY both ways (the frames are bytes, not text), SUPPRESS-GO-AHEAD both
// ways (a full-duplex line) and offers COM-PORT-OPTION; refuses every other option, once per
// option, so that a server repeating a request cannot make it answer without end.
class CTelnetClient {
public:
    enum class ComPort { Asked, Agreed, Refused };

    // The settings that await the server's confirmation, as bits.
    enum Setting : unsigned {
        kSpeed = 1u << 0,
        kDataSize = 1u << 1,
        kParity = 1u << 2,
        kStopSize = 1u << 3,
        kDtr = 1u << 4,
        kRts = 1u << 5,
        kPurge = 1u << 6,
    };

    // Appends the client's opening offers and requests to out.
    void Begin(std::string& out);

    // Decodes received bytes: the line's own bytes go to data (never more than size of them; data
    // may be in itself), answers the server is due are appended to replies. A command split
    // across calls continues where the last call stopped. Returns how many data bytes it wrote.
    std::size_t Receive(const std::uint8_t* in, std::size_t size, std::uint8_t* data,
                        std::string& replies);

    // Appends the line's bytes as they go on the connection: 0xFF doubled and, while the server
    // has not agreed to binary, a carriage return not followed by a line feed as CR NUL.
    void EscapeData(const std::uint8_t* data, std::size_t size, std::string& out) const;

    // Appends the requests that set the line: speed, 8 data bits, no parity, 1 stop bit, DTR and
    // RTS off, both buffers purged. Each then waits for its confirmation.
    void RequestLineSettings(int baudRate, std::string& out);

    ComPort ComPortState() const { return m_comPort; }
    // The settings asked for and not confirmed yet.
    unsigned Unconfirmed() const { return m_unconfirmed; }
    // The settings in words, for a note: "DTR, RTS".
    static std::string SettingNames(unsigned settings);

private:
    enum class State { Data, Iac, Verb, SbOption, SbData, SbIac };

    struct OptionSide {
        bool enabled = false;
        bool asked = false;   // we asked and await the answer
        bool refused = false; // we refused it once: a repeat gets no second answer
    };

    // The byte after an IAC; true when it is a data byte 0xFF.
    bool AfterIac(std::uint8_t byte);
    void OnVerb(std::uint8_t verb, std::uint8_t option, std::string& replies);
    void OnSubnegotiation(std::string& replies);
    void Ask(std::uint8_t verb, std::uint8_t option, std::string& out);

    State m_state = State::Data;
    std::uint8_t m_verb = 0;
    std::uint8_t m_sbOption = 0;
    // A subnegotiation's bytes; what does not fit is dropped (no COM-PORT answer is that long).
    std::uint8_t m_sb[16] = {};
    std::size_t m_sbSize = 0;
    bool m_lastWasCr = false;
    OptionSide m_local[256];  // what we do (WILL/WONT)
    OptionSide m_remote[256]; // what the server does (DO/DONT)
    ComPort m_comPort = ComPort::Asked;
    unsigned m_unconfirmed = 0;
    bool m_signatureSent = false;
};
