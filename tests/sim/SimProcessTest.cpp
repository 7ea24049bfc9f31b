#include "SimProcess.h"
#include "LineClient.h"
#include "TempDirectory.h"

#include "DeviceCommands.h"
#include "LinkMessage.h"
#include "MappedLine.h"
#include "TestMessages.h"
#include "WorkerHarness.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Payload(const LinkMessage& message) {
    return message.length == 255 ? Bytes{}
                                 : Bytes(message.payload, message.payload + message.length);
}

// Reads a record, changes some of its bytes, writes it, and checks that it reads back whole.
Bytes WriteAndReadBack(CLineClient& line, std::uint8_t read, std::uint8_t write) {
    Bytes record = Payload(DecodeWire(line.Exchange(WireText(MakeMessage(read)))));
    EXPECT_FALSE(record.empty()) << "no answer to command " << int(read);
    for (std::size_t i = 0; i < record.size(); i += 3) {
        record[i] = static_cast<std::uint8_t>(record[i] ^ 0x5A);
    }
    const LinkMessage done = DecodeWire(line.Exchange(WireText(MakeMessage(write, record))));
    EXPECT_EQ(done.command, write);
    EXPECT_EQ(done.length, 0);
    EXPECT_EQ(Payload(DecodeWire(line.Exchange(WireText(MakeMessage(read))))), record);
    return record;
}

} // namespace

// A service session as the terminal runs it, through the COM link, then a restart on the same
// state file.
TEST(SimProcess, ServiceSessionSurvivesARestart) {
    CTempDirectory dir;
    const std::string state = dir.Path() + "/device.state";
    const std::string link = dir.Path() + "/COM3";
    Bytes config;
    Bytes alarms;
    Bytes reader;
    {
        CSimProcess sim({"--link", dir.Path(), "--port", "3", "--state", state});
        const std::string path = sim.FirstLine();
        ASSERT_FALSE(path.empty()) << sim.Errors();
        EXPECT_EQ(fs::read_symlink(link), path);
        CLineClient line(dir.Path(), 3);
        ASSERT_TRUE(line.IsOpen());

        EXPECT_EQ(line.Exchange("\n\r:031F21BD"),
                  "\n\r:151F210351414C2D31502073796D756C61746F72000C");
        const LinkMessage marker = DecodeWire(line.Exchange("\n\r:061F22000000B9"));
        EXPECT_EQ(Payload(marker).size(), 8u);
        EXPECT_EQ(marker.payload[0], 0xFF);
        EXPECT_EQ(marker.payload[1], 0x7F);
        const LinkMessage reading = DecodeWire(line.Exchange("\n\r:061F22000000B9"));
        EXPECT_LE(reading.payload[0] | (reading.payload[1] << 8), 200);
        EXPECT_NE(reading.payload[6] & 0x08, 0);

        config = WriteAndReadBack(line, CMD_READ_CONFIG, CMD_WRITE_CONFIG);
        alarms = WriteAndReadBack(line, CMD_READ_ALARMS, CMD_WRITE_ALARMS);
        reader = WriteAndReadBack(line, CMD_READ_READER, CMD_WRITE_READER);
        // 2030-01-02 03:04:05.
        EXPECT_EQ(DecodeWire(line.Exchange(WireText(
                                 MakeMessage(CMD_WRITE_TIME, {5, 4, 3, 2, 1, 0xEE, 0x07}))))
                      .command,
                  CMD_WRITE_TIME);

        sim.Signal(SIGTERM);
        EXPECT_EQ(sim.Wait(), 0) << sim.Errors();
        EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "the link was left behind";
    }
    CSimProcess sim({"--link", dir.Path(), "--port", "3", "--state", state});
    ASSERT_FALSE(sim.FirstLine().empty()) << sim.Errors();
    CLineClient line(dir.Path(), 3);
    EXPECT_EQ(Payload(DecodeWire(line.Exchange(WireText(MakeMessage(CMD_READ_CONFIG))))), config);
    EXPECT_EQ(Payload(DecodeWire(line.Exchange(WireText(MakeMessage(CMD_READ_ALARMS))))), alarms);
    EXPECT_EQ(Payload(DecodeWire(line.Exchange(WireText(MakeMessage(CMD_READ_READER))))), reader);
    const Bytes time = Payload(DecodeWire(line.Exchange(WireText(MakeMessage(CMD_READ_TIME)))));
    ASSERT_EQ(time.size(), 7u);
    EXPECT_EQ(Bytes(time.begin() + 1, time.end()), (Bytes{4, 3, 2, 1, 0xEE, 0x07}));

    // The end of standard input stops it too.
    sim.CloseInput();
    EXPECT_EQ(sim.Wait(), 0) << sim.Errors();
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
}

TEST(SimProcess, CommandLineShapesTheDevice) {
    CTempDirectory dir;
    {
        CSimProcess sim({"--link", dir.Path(), "--address", "5", "--failure", "--speed", "2.0",
                         "--model-marker", "never", "--ignore-stdin"});
        ASSERT_FALSE(sim.FirstLine().empty()) << sim.Errors();
        CLineClient line(dir.Path(), 1);
        // A reading request to address 5: 06 05 22 00 00 00, checksum D3. The answer: 2.0 m/s
        // (14 00), status 70: a device failure (08 clear), all three outputs off.
        EXPECT_EQ(line.Exchange("\n\r:060522000000D3"), "\n\r:0B052214000000000070004A");
        line.Send("\n\r:031F21BD");
        EXPECT_EQ(line.ReadFor(200ms), "") << "answered another address";
        sim.CloseInput(); // ignored
        sim.Signal(SIGINT);
        EXPECT_EQ(sim.Wait(), 0) << sim.Errors();
    }
    CSimProcess silent({"--link", dir.Path(), "--silent"});
    ASSERT_FALSE(silent.FirstLine().empty()) << silent.Errors();
    CLineClient line(dir.Path(), 1);
    line.Send("\n\r:031F21BD");
    EXPECT_EQ(line.ReadFor(300ms), "");
}

TEST(SimProcess, RefusesWhatItCannotDo) {
    CSimProcess badValue({"--delay", "soon"});
    EXPECT_EQ(badValue.Wait(), 2);
    EXPECT_EQ(badValue.Errors(), "qal-sim: --delay must be a whole number of milliseconds from 0 "
                                 "to 60000, not \"soon\"\nTry 'qal-sim --help'.\n");

    CSimProcess help({"--help"});
    EXPECT_EQ(help.FirstLine(), "Usage: qal-sim [OPTION]...");
    EXPECT_EQ(help.Wait(), 0);

    CTempDirectory dir;
    std::ofstream(dir.Path() + "/COM1") << "taken";
    CSimProcess taken({"--link", dir.Path()});
    EXPECT_EQ(taken.Wait(), 1);
    EXPECT_NE(taken.Errors().find("COM1 already exists"), std::string::npos) << taken.Errors();

    std::ofstream(dir.Path() + "/state") << "not a state file";
    CSimProcess badState({"--state", dir.Path() + "/state"});
    EXPECT_EQ(badState.Wait(), 1);
    EXPECT_NE(badState.Errors().find("is not a qal-sim state file"), std::string::npos);
}

// Behind a TCP port: the first line is the URL, the settings folder's ports.json maps the port
// to it while the simulator runs, and clients take turns.
TEST(SimProcess, ListensForOneClientAtATimeBehindAMappedPort) {
    CTempDirectory dir;
    const std::string portsFile = dir.Path() + "/ports.json";
    std::string url;
    {
        CSimProcess sim({"--listen", "0", "--link", dir.Path(), "--port", "4", "--ignore-stdin"});
        url = sim.FirstLine();
        ASSERT_TRUE(url.starts_with("tcp://127.0.0.1:")) << url << sim.Errors();
        std::ifstream mapping(portsFile);
        const std::string text((std::istreambuf_iterator<char>(mapping)),
                               std::istreambuf_iterator<char>());
        EXPECT_NE(text.find("\"COM4\": \"" + url + "\""), std::string::npos) << text;

        // The terminal's own way in: port 4 of that folder.
        CWorkerHarness first(4, dir.Path());
        first.Context().makePort = MappedPortFactory();
        first.Start();
        ASSERT_TRUE(first.Next(kLinkEventConnected)); // a message before that would be dropped
        first.Send(0x21);
        const auto version = first.Next(0x21);
        ASSERT_TRUE(version) << sim.Errors();
        EXPECT_GE(version->length, 1);

        // A second client waits its turn: served once the first has gone.
        CWorkerHarness second(4, dir.Path());
        second.Context().makePort = MappedPortFactory();
        second.Start();
        ASSERT_TRUE(second.Next(kLinkEventConnected));
        second.Send(0x21);
        EXPECT_FALSE(second.Next(0x21, 300ms)) << "served while the first is connected";
        EXPECT_EQ(first.StopAndJoin(), 0);
        EXPECT_TRUE(second.Next(0x21));
        EXPECT_EQ(second.StopAndJoin(), 0);

        sim.Signal(SIGTERM);
        EXPECT_EQ(sim.Wait(), 0) << sim.Errors();
        EXPECT_NE(sim.Errors().find("a client connected"), std::string::npos) << sim.Errors();
    }
    EXPECT_FALSE(fs::exists(portsFile)) << "made for the simulator alone, gone with it";

    // A user's own mapping of the port is never taken over.
    std::ofstream(portsFile) << R"({"COM1": "rfc2217://mast-12.example.net:4001"})";
    CSimProcess taken({"--listen", "0", "--link", dir.Path()});
    EXPECT_EQ(taken.Wait(), 1);
    EXPECT_NE(taken.Errors().find("already maps COM1 to rfc2217://mast-12.example.net:4001"),
              std::string::npos)
        << taken.Errors();
}
