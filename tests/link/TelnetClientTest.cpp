#include "TelnetClient.h"
#include "ByteText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace telnet;

// The client's opening: WILL COM-PORT-OPTION, WILL BINARY, DO BINARY, WILL SGA, DO SGA.
const std::string kBegin =
    Bytes({255, 251, 44, 255, 251, 0, 255, 253, 0, 255, 251, 3, 255, 253, 3});

// The server taking up everything the client offered and asked for.
const std::string kServerAgrees =
    Bytes({255, 253, 44, 255, 253, 0, 255, 251, 0, 255, 253, 3, 255, 251, 3});

struct Received {
    std::string data;
    std::string replies;
};

// Feeds the pieces one call each, as separate reads would bring them.
Received Feed(CTelnetClient& client, const std::vector<std::string>& pieces) {
    Received result;
    for (const std::string& piece : pieces) {
        std::vector<std::uint8_t> buffer(piece.begin(), piece.end());
        const std::size_t n =
            client.Receive(buffer.data(), buffer.size(), buffer.data(), result.replies);
        result.data.append(buffer.begin(), buffer.begin() + static_cast<long>(n));
    }
    return result;
}

std::string SplitIntoBytes(const std::string& text, std::vector<std::string>& pieces) {
    for (const char c : text) {
        pieces.emplace_back(1, c);
    }
    return text;
}

TEST(TelnetClient, OpensWithItsOffersAndSetsTheLineByteForByte) {
    struct Case {
        const char* name;
        int baudRate;
        std::string settings;
    };
    const std::string rest = Bytes({255, 250, 44, 2,  8,  255, 240,   // 8 data bits
                                    255, 250, 44, 3,  1,  255, 240,   // no parity
                                    255, 250, 44, 4,  1,  255, 240,   // 1 stop bit
                                    255, 250, 44, 5,  9,  255, 240,   // DTR off
                                    255, 250, 44, 5,  12, 255, 240,   // RTS off
                                    255, 250, 44, 12, 3,  255, 240}); // purge both buffers
    const Case cases[] = {
        {"19200", 19200, Bytes({255, 250, 44, 1, 0, 0, 0x4B, 0x00, 255, 240}) + rest},
        {"115200", 115200, Bytes({255, 250, 44, 1, 0, 1, 0xC2, 0x00, 255, 240}) + rest},
        // A value byte 0xFF is doubled inside the subnegotiation.
        {"0x1FEFF", 0x1FEFF, Bytes({255, 250, 44, 1, 0, 1, 0xFE, 0xFF, 0xFF, 255, 240}) + rest},
    };
    for (const Case& c : cases) {
        CTelnetClient client;
        std::string out;
        client.Begin(out);
        EXPECT_EQ(out, kBegin) << c.name;
        out.clear();
        client.RequestLineSettings(c.baudRate, out);
        EXPECT_EQ(out, c.settings) << c.name;
        EXPECT_EQ(CTelnetClient::SettingNames(client.Unconfirmed()),
                  "prędkość, bity danych, parzystość, bity stopu, DTR, RTS, czyszczenie buforów")
            << c.name;
    }
}

TEST(TelnetClient, ReceivedBytesGiveTheLineAndTheAnswersDue) {
    std::vector<std::string> oneByOne;
    const std::string frameWithCommands =
        SplitIntoBytes(":05" + Bytes({255, 241}) + "1F" + Bytes({255, 251, 1}) + "21" +
                           Bytes({255, 249}) + "0102B8",
                       oneByOne);
    (void)frameWithCommands;
    struct Case {
        const char* name;
        std::vector<std::string> pieces; // after the server has agreed to everything
        std::string data;
        std::string replies;
    };
    const Case cases[] = {
        {"plain bytes pass", {":051F210102B8\r\n"}, ":051F210102B8\r\n", ""},
        {"IAC IAC is one 0xFF",
         {":05" + Bytes({255, 255}) + "1F"},
         ":05\xFF"
         "1F",
         ""},
        {"IAC IAC split across reads",
         {":05" + Bytes({255}), Bytes({255}) + "1F"},
         ":05\xFF"
         "1F",
         ""},
        // No-operation, go-ahead and an unasked WILL ECHO inside a frame, a byte a read.
        {"commands inside a frame, a byte a read", oneByOne, ":051F210102B8", Bytes({255, 254, 1})},
        {"unasked options are refused once each",
         {Bytes({255, 253, 24, 255, 251, 1, 255, 253, 31}),
          Bytes({255, 253, 24, 255, 251, 1, 255, 253, 31, 255, 253, 24})},
         "",
         Bytes({255, 252, 24, 255, 254, 1, 255, 252, 31})},
        {"a repeated agreement is not answered", {kServerAgrees}, "", ""},
        {"the server turning binary off is acknowledged",
         {Bytes({255, 254, 0, 255, 252, 0})},
         "",
         Bytes({255, 252, 0, 255, 254, 0})},
        {"a signature request is answered once",
         {Bytes({255, 250, 44, 100, 255, 240}), Bytes({255, 250, 44, 100, 255, 240})},
         "",
         Bytes({255, 250, 44, 0}) + "QAL terminal" + Bytes({255, 240})},
        {"subnegotiation split across reads gives no data",
         {Bytes({255, 250, 44}), Bytes({101, 0, 0}), Bytes({0x4B, 0, 255}), Bytes({240}) + "x"},
         "x",
         ""},
        {"a command inside a subnegotiation breaks it off",
         {Bytes({255, 250, 44, 101, 255, 251, 1}) + "y"},
         "y",
         Bytes({255, 254, 1})},
        {"an overlong subnegotiation is cut, not kept",
         {Bytes({255, 250, 24}) + std::string(5000, 'z') + Bytes({255, 240}) + "ok"},
         "ok",
         ""},
        {"binary keeps CR NUL as two bytes", {std::string("\r\0", 2)}, std::string("\r\0", 2), ""},
    };
    for (const Case& c : cases) {
        CTelnetClient client;
        std::string out;
        client.Begin(out);
        Feed(client, {kServerAgrees});
        const Received received = Feed(client, c.pieces);
        EXPECT_EQ(received.data, c.data) << c.name;
        EXPECT_EQ(received.replies, c.replies) << c.name;
    }
}

TEST(TelnetClient, ComPortAgreementAndConfirmations) {
    struct Case {
        const char* name;
        std::string server;
        CTelnetClient::ComPort state;
        std::string unconfirmed;
    };
    const std::string allConfirmed = Bytes(
        {255, 250, 44,  101, 0,   0,   0x4B, 0,   255, 240, 255, 250, 44,  102, 8,   255, 240, 255,
         250, 44,  103, 1,   255, 240, 255,  250, 44,  104, 1,   255, 240, 255, 250, 44,  105, 9,
         255, 240, 255, 250, 44,  105, 12,   255, 240, 255, 250, 44,  112, 3,   255, 240});
    // What a server on a line without modem lines does: everything but DTR and RTS.
    const std::string noModemLines =
        Bytes({255, 250, 44,  101, 0,   0,   0x4B, 0,   255, 240, 255, 250, 44,
               102, 8,   255, 240, 255, 250, 44,   103, 1,   255, 240, 255, 250,
               44,  104, 1,   255, 240, 255, 250,  44,  112, 3,   255, 240});
    const Case cases[] = {
        {"no answer yet", "", CTelnetClient::ComPort::Asked,
         "prędkość, bity danych, parzystość, bity stopu, DTR, RTS, czyszczenie buforów"},
        {"refused", Bytes({255, 254, 44}), CTelnetClient::ComPort::Refused,
         "prędkość, bity danych, parzystość, bity stopu, DTR, RTS, czyszczenie buforów"},
        {"agreed, all confirmed", Bytes({255, 253, 44}) + allConfirmed,
         CTelnetClient::ComPort::Agreed, ""},
        {"agreed, no modem lines", Bytes({255, 253, 44}) + noModemLines,
         CTelnetClient::ComPort::Agreed, "DTR, RTS"},
    };
    for (const Case& c : cases) {
        CTelnetClient client;
        std::string out;
        client.Begin(out);
        client.RequestLineSettings(19200, out);
        Feed(client, {c.server});
        EXPECT_EQ(client.ComPortState(), c.state) << c.name;
        EXPECT_EQ(CTelnetClient::SettingNames(client.Unconfirmed()), c.unconfirmed) << c.name;
    }
}

TEST(TelnetClient, OutgoingBytesAreEscaped) {
    struct Case {
        const char* name;
        bool binaryAgreed;
        std::string data;
        std::string wire;
    };
    const Case cases[] = {
        {"a frame passes as it is", true, "\n\r:031F21BD", "\n\r:031F21BD"},
        {"0xFF is doubled", true, Bytes({1, 255, 2}), Bytes({1, 255, 255, 2})},
        {"without binary a bare CR gets a NUL", false, "\n\r:03", std::string("\n\r\0:03", 6)},
        {"without binary CR LF stays", false, "a\r\nb", "a\r\nb"},
    };
    for (const Case& c : cases) {
        CTelnetClient client;
        std::string out;
        client.Begin(out);
        if (c.binaryAgreed) {
            Feed(client, {kServerAgrees});
        } else {
            Feed(client, {Bytes({255, 254, 0})});
        }
        std::string wire;
        client.EscapeData(reinterpret_cast<const std::uint8_t*>(c.data.data()), c.data.size(),
                          wire);
        EXPECT_EQ(wire, c.wire) << c.name;
    }
}

} // namespace
