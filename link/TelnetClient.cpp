#include "TelnetClient.h"

namespace {

using namespace telnet;

// What this client does itself, and what it lets the server do.
bool WeOffer(std::uint8_t option) {
    return option == kOptionBinary || option == kOptionSuppressGoAhead || option == kOptionComPort;
}

bool WeAccept(std::uint8_t option) {
    return option == kOptionBinary || option == kOptionSuppressGoAhead;
}

void Command(std::uint8_t verb, std::uint8_t option, std::string& out) {
    out += static_cast<char>(kIac);
    out += static_cast<char>(verb);
    out += static_cast<char>(option);
}

// One COM-PORT-OPTION request; a 0xFF among its value bytes is doubled like any other.
void ComPortRequest(std::uint8_t command, const std::uint8_t* value, std::size_t size,
                    std::string& out) {
    out += static_cast<char>(kIac);
    out += static_cast<char>(kSb);
    out += static_cast<char>(kOptionComPort);
    out += static_cast<char>(command);
    for (std::size_t i = 0; i < size; ++i) {
        out += static_cast<char>(value[i]);
        if (value[i] == kIac) {
            out += static_cast<char>(kIac);
        }
    }
    out += static_cast<char>(kIac);
    out += static_cast<char>(kSe);
}

void ComPortRequest(std::uint8_t command, std::uint8_t value, std::string& out) {
    ComPortRequest(command, &value, 1, out);
}

} // namespace

void CTelnetClient::Ask(std::uint8_t verb, std::uint8_t option, std::string& out) {
    OptionSide& side = verb == kWill ? m_local[option] : m_remote[option];
    side.asked = true;
    Command(verb, option, out);
}

void CTelnetClient::Begin(std::string& out) {
    Ask(kWill, kOptionComPort, out);
    Ask(kWill, kOptionBinary, out);
    Ask(kDo, kOptionBinary, out);
    Ask(kWill, kOptionSuppressGoAhead, out);
    Ask(kDo, kOptionSuppressGoAhead, out);
}

std::size_t CTelnetClient::Receive(const std::uint8_t* in, std::size_t size, std::uint8_t* data,
                                   std::string& replies) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = in[i];
        switch (m_state) {
        case State::Data:
            if (byte == kIac) {
                m_state = State::Iac;
            } else if (byte == 0 && m_lastWasCr && !m_remote[kOptionBinary].enabled) {
                m_lastWasCr = false; // CR NUL is a bare carriage return on a text connection
            } else {
                data[out++] = byte;
                m_lastWasCr = byte == '\r';
            }
            break;
        case State::Iac:
            if (AfterIac(byte)) {
                data[out++] = byte;
                m_lastWasCr = false;
            }
            break;
        case State::Verb:
            m_state = State::Data;
            OnVerb(m_verb, byte, replies);
            break;
        case State::SbOption:
            m_sbOption = byte;
            m_sbSize = 0;
            m_state = State::SbData;
            break;
        case State::SbData:
            if (byte == kIac) {
                m_state = State::SbIac;
            } else if (m_sbSize < sizeof m_sb) {
                m_sb[m_sbSize++] = byte;
            }
            break;
        case State::SbIac:
            if (byte == kIac) {
                if (m_sbSize < sizeof m_sb) {
                    m_sb[m_sbSize++] = byte;
                }
                m_state = State::SbData;
            } else if (byte == kSe) {
                m_state = State::Data;
                OnSubnegotiation(replies);
            } else if (AfterIac(byte)) {
                // A command inside a subnegotiation breaks it off and is taken as it stands.
                data[out++] = byte;
                m_lastWasCr = false;
            }
            break;
        }
    }
    return out;
}

bool CTelnetClient::AfterIac(std::uint8_t byte) {
    m_state = State::Data;
    if (byte == kIac) {
        return true;
    }
    if (byte >= kWill) {
        m_verb = byte;
        m_state = State::Verb;
    } else if (byte == kSb) {
        m_state = State::SbOption;
    }
    // Go-ahead, no-operation, data mark, break and the other one-byte commands mean nothing on
    // this line.
    return false;
}

void CTelnetClient::OnVerb(std::uint8_t verb, std::uint8_t option, std::string& replies) {
    switch (verb) {
    case kDo: {
        OptionSide& side = m_local[option];
        if (!WeOffer(option)) {
            if (!side.refused) {
                side.refused = true;
                Command(kWont, option, replies);
            }
            return;
        }
        if (!side.enabled) {
            side.enabled = true;
            if (!side.asked) {
                Command(kWill, option, replies); // a request, not the answer to ours
            }
        }
        side.asked = false;
        if (option == kOptionComPort) {
            m_comPort = ComPort::Agreed;
        }
        return;
    }
    case kDont: {
        OptionSide& side = m_local[option];
        if (side.enabled) {
            side.enabled = false;
            Command(kWont, option, replies);
        }
        side.asked = false;
        if (option == kOptionComPort) {
            m_comPort = ComPort::Refused;
        }
        return;
    }
    case kWill: {
        OptionSide& side = m_remote[option];
        if (!WeAccept(option)) {
            if (!side.refused) {
                side.refused = true;
                Command(kDont, option, replies);
            }
            return;
        }
        if (!side.enabled) {
            side.enabled = true;
            if (!side.asked) {
                Command(kDo, option, replies);
            }
        }
        side.asked = false;
        return;
    }
    case kWont: {
        OptionSide& side = m_remote[option];
        if (side.enabled) {
            side.enabled = false;
            Command(kDont, option, replies);
        }
        side.asked = false;
        return;
    }
    default:
        return;
    }
}

void CTelnetClient::OnSubnegotiation(std::string& replies) {
    if (m_sbOption != kOptionComPort || m_sbSize == 0 || m_sb[0] < kServerReply) {
        return; // nothing this client asked about
    }
    const std::uint8_t command = static_cast<std::uint8_t>(m_sb[0] - kServerReply);
    const std::uint8_t value = m_sbSize > 1 ? m_sb[1] : 0;
    switch (command) {
    case kSignature:
        // Without text it asks for ours; answered once, so that repeats cost nothing.
        if (m_sbSize == 1 && !m_signatureSent) {
            m_signatureSent = true;
            static constexpr char kName[] = "QAL terminal";
            ComPortRequest(kSignature, reinterpret_cast<const std::uint8_t*>(kName),
                           sizeof kName - 1, replies);
        }
        return;
    case kSetBaudRate:
        m_unconfirmed &= ~kSpeed;
        return;
    case kSetDataSize:
        m_unconfirmed &= ~kDataSize;
        return;
    case kSetParity:
        m_unconfirmed &= ~kParity;
        return;
    case kSetStopSize:
        m_unconfirmed &= ~kStopSize;
        return;
    case kSetControl:
        if (value >= 7 && value <= 9) { // DTR: asked, on, off
            m_unconfirmed &= ~kDtr;
        } else if (value >= 10 && value <= 12) { // RTS: asked, on, off
            m_unconfirmed &= ~kRts;
        }
        return;
    case kPurgeData:
        m_unconfirmed &= ~kPurge;
        return;
    default:
        return; // line and modem state notices, flow control: nothing this line acts on
    }
}

void CTelnetClient::EscapeData(const std::uint8_t* data, std::size_t size, std::string& out) const {
    const bool binary = m_local[kOptionBinary].enabled;
    for (std::size_t i = 0; i < size; ++i) {
        out += static_cast<char>(data[i]);
        if (data[i] == kIac) {
            out += static_cast<char>(kIac);
        } else if (data[i] == '\r' && !binary && (i + 1 == size || data[i + 1] != '\n')) {
            out += '\0';
        }
    }
}

void CTelnetClient::RequestLineSettings(int baudRate, std::string& out) {
    const auto rate = static_cast<std::uint32_t>(baudRate);
    const std::uint8_t speed[4] = {
        static_cast<std::uint8_t>(rate >> 24), static_cast<std::uint8_t>(rate >> 16),
        static_cast<std::uint8_t>(rate >> 8), static_cast<std::uint8_t>(rate)};
    ComPortRequest(kSetBaudRate, speed, sizeof speed, out);
    ComPortRequest(kSetDataSize, 8, out);
    ComPortRequest(kSetParity, kParityNone, out);
    ComPortRequest(kSetStopSize, kOneStopBit, out);
    ComPortRequest(kSetControl, kDtrOff, out);
    ComPortRequest(kSetControl, kRtsOff, out);
    ComPortRequest(kPurgeData, kPurgeBoth, out);
    m_unconfirmed = kSpeed | kDataSize | kParity | kStopSize | kDtr | kRts | kPurge;
}

std::string CTelnetClient::SettingNames(unsigned settings) {
    static constexpr struct {
        unsigned bit;
        const char* name;
    } kNames[] = {
        {kSpeed, "prędkość"},
        {kDataSize, "bity danych"},
        {kParity, "parzystość"},
        {kStopSize, "bity stopu"},
        {kDtr, "DTR"},
        {kRts, "RTS"},
        {kPurge, "czyszczenie buforów"},
    };
    std::string text;
    for (const auto& entry : kNames) {
        if ((settings & entry.bit) != 0) {
            text += text.empty() ? "" : ", ";
            text += entry.name;
        }
    }
    return text;
}
