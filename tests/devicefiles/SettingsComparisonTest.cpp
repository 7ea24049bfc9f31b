#include "SettingsComparison.h"
#include "DeviceSettingsTransfer.h"
#include "DialogLimits.h"
#include "FakeDevice.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> ChangedLabels(const SettingsComparison& comparison) {
    std::vector<std::string> labels;
    for (const ComparedField& field : comparison.fields) {
        if (field.changed) {
            labels.push_back(field.label);
        }
    }
    return labels;
}

std::vector<std::size_t> ByteOffsets(const SettingsComparison& comparison) {
    std::vector<std::size_t> offsets;
    for (const DifferingByte& difference : comparison.otherBytes) {
        offsets.push_back(difference.offset);
    }
    return offsets;
}

DeviceRecords Base() {
    std::mt19937 random(7);
    DeviceRecords records = RandomRecords(random);
    records.config.setDescription("Maszt 1");
    records.reader.setDescription("Czytnik");
    return records;
}

} // namespace

TEST(SettingsComparisonTest, RowsBytesAndRecordsToWrite) {
    const struct {
        const char* name;
        void (*change)(DeviceRecords&);
        std::vector<std::string> changed;
        std::vector<std::size_t> bytes;
        std::vector<RecordKind> written;
    } cases[] = {
        {"same", [](DeviceRecords&) {}, {}, {}, {}},
        {"description",
         [](DeviceRecords& r) { r.config.setDescription("Maszt 2"); },
         {"Opis"},
         {},
         {RecordKind::SensorConfig}},
        {"description and the first byte after it",
         [](DeviceRecords& r) {
             r.config.setDescription("Maszt 2");
             r.config.bytes[27] ^= 0x01;
         },
         {"Opis"},
         {27},
         {RecordKind::SensorConfig}},
        {"uninterpreted byte and flag bit",
         [](DeviceRecords& r) {
             r.config.bytes[30] ^= 1;
             r.config.bytes[10] ^= 0x80;
         },
         {},
         {10, 30},
         {RecordKind::SensorConfig}},
        {"range tenths no row shows",
         [](DeviceRecords& r) { r.config.setRange(r.config.range() ^ 1); },
         {},
         {4},
         {RecordKind::SensorConfig}},
        {"byte after the description's end",
         [](DeviceRecords& r) { r.reader.bytes[8 + 12] ^= 0x55; },
         {},
         {20},
         {RecordKind::ReaderData}},
        {"threshold and active-byte spare bits",
         [](DeviceRecords& r) {
             r.alarms.setMaxThreshold(2, 125);
             r.alarms.bytes[17] ^= 0x81;
         },
         {"Wyjście 2: próg max [m/s]"},
         {17},
         {RecordKind::Outputs}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DeviceRecords device = Base();
        DeviceRecords file = device;
        c.change(file);
        const SettingsComparison comparison = CompareSettings(device, file);
        EXPECT_EQ(ChangedLabels(comparison), c.changed);
        EXPECT_EQ(ByteOffsets(comparison), c.bytes);
        EXPECT_EQ(comparison.recordsToWrite, c.written);
        EXPECT_FALSE(comparison.serialsDiffer);
        EXPECT_EQ(comparison.target, file);
    }
}

// What a restore would write beyond the settings dialogs' limits is named with the allowed range;
// a value the device holds already, or a record not written, is not.
TEST(SettingsComparisonTest, ValuesBeyondTheDialogsLimitsAreNamed) {
    DeviceRecords device = Base();
    device.config.setRange(150);
    device.reader.setSerialNumber(1234);
    device.reader.setRecordInterval(60);
    for (int output = 1; output <= 3; ++output) {
        device.alarms.setMinThreshold(output, 20);
        device.alarms.setMaxThreshold(output, 120);
    }
    const std::vector<RecordKind> all(kAllRecords.begin(), kAllRecords.end());
    const struct {
        const char* name;
        void (*change)(DeviceRecords&);
        std::vector<RecordKind> written;
        std::vector<std::string> lines;
    } cases[] = {
        {"within", [](DeviceRecords& r) { r.config.setRange(-200); }, all, {}},
        {"range",
         [](DeviceRecords& r) { r.config.setRange(1000); },
         all,
         {"Zakres [m/s]: 100 (dozwolone od 5 do 20)"}},
        {"range below",
         [](DeviceRecords& r) { r.config.setRange(-40); },
         all,
         {"Zakres [m/s]: 4 (dozwolone od 5 do 20)"}},
        {"record not written",
         [](DeviceRecords& r) { r.config.setRange(1000); },
         {RecordKind::Outputs},
         {}},
        {"reader",
         [](DeviceRecords& r) {
             r.reader.setRecordInterval(0);
             r.reader.setSerialNumber(65001);
         },
         all,
         {"Czytnik: nr fabryczny: 65001 (dozwolone od 1 do 65000)",
          "Czytnik: okres zapisu [s]: 0 (dozwolone od 1 do 250)"}},
        {"thresholds",
         [](DeviceRecords& r) {
             r.alarms.setMaxThreshold(2, 250);
             r.alarms.setMinThreshold(3, 50);
             r.alarms.setMaxThreshold(3, 30);
             r.alarms.setMinThreshold(1, -201);
         },
         all,
         {"Wyjście 1: próg min [m/s]: -20.1 (dozwolone od -20.0 do 20.0)",
          "Wyjście 2: próg max [m/s]: 25.0 (dozwolone od 2.0 do 20.0)",
          "Wyjście 3: próg max [m/s]: 3.0 (dozwolone od 5.0 do 20.0)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceRecords file = device;
        c.change(file);
        EXPECT_EQ(ValuesBeyondDialogLimits(device, file, c.written), c.lines);
        // Already on the device: nothing new is written.
        EXPECT_TRUE(ValuesBeyondDialogLimits(file, file, c.written).empty());
    }
}

TEST(SettingsComparisonTest, AnotherSensorsFileIsClonedKeepingIdentity) {
    std::mt19937 random(11);
    const DeviceRecords device = RandomRecords(random);
    const DeviceRecords file = RandomRecords(random);
    const SettingsComparison comparison = CompareSettings(device, file);
    ASSERT_TRUE(comparison.serialsDiffer);
    const DeviceRecords& clone = comparison.target;
    EXPECT_EQ(clone.config.serialNumber(), device.config.serialNumber());
    EXPECT_EQ(clone.config.productionYear(), device.config.productionYear());
    EXPECT_EQ(clone.reader.serialNumber(), device.reader.serialNumber());
    // Everything else is the file's, bit 7 of the flags included.
    DeviceRecords expected = file;
    expected.config.setSerialNumber(device.config.serialNumber());
    expected.config.setProductionYear(device.config.productionYear());
    expected.reader.setSerialNumber(device.reader.serialNumber());
    EXPECT_EQ(clone, expected);
    EXPECT_EQ(clone.config.bytes[10] & 0x87, file.config.bytes[10] & 0x87);
}

TEST(DeviceSettingsTransferTest, RestoreWritesVerifiesAndSaysWhatWasNotWritten) {
    std::mt19937 random(3);
    const DeviceRecords target = RandomRecords(random);
    const std::vector<RecordKind> all(kAllRecords.begin(), kAllRecords.end());
    const struct {
        const char* name;
        int answers;
        std::optional<RecordKind> ignored;
        std::vector<std::string> lines;
    } cases[] = {
        {"all",
         100,
         {},
         {"Zapisano i sprawdzono: konfiguracja QAL, konfiguracja czytnika, konfiguracja wyjść"}},
        {"silent after the first record",
         2,
         {},
         {"Zapisano i sprawdzono: konfiguracja QAL",
          "Urządzenie nie odpowiedziało na zapis (nie wiadomo, czy zapisano): konfiguracja "
          "czytnika",
          "Nie zapisano: konfiguracja wyjść"}},
        {"silent before the read-back",
         3,
         {},
         {"Zapisano i sprawdzono: konfiguracja QAL",
          "Zapisano, ale odczyt nie potwierdził zapisu: konfiguracja czytnika",
          "Nie zapisano: konfiguracja wyjść"}},
        {"device keeps something else",
         100,
         RecordKind::ReaderData,
         {"Zapisano i sprawdzono: konfiguracja QAL, konfiguracja wyjść",
          "Zapisano, ale odczyt nie potwierdził zapisu: konfiguracja czytnika"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDevice device;
        device.answersLeft = c.answers;
        device.ignoredWrite = c.ignored;
        const RestoreOutcome outcome = RestoreRecords(device, target, all);
        EXPECT_EQ(outcome.Succeeded(), c.lines.size() == 1 && !c.ignored);
        EXPECT_EQ(DescribeOutcome(outcome), c.lines);
        ASSERT_GE(device.log.size(), c.lines.size());
        EXPECT_EQ(std::vector<std::string>(device.log.end() - static_cast<long>(c.lines.size()),
                                           device.log.end()),
                  c.lines);
    }
}

TEST(DeviceSettingsTransferTest, ReadStopsAtTheFirstMissingAnswer) {
    FakeDevice device;
    device.answersLeft = 2;
    DeviceRecords records;
    EXPECT_FALSE(ReadDeviceRecords(device, records));
    EXPECT_EQ(device.commands,
              (std::vector<std::uint8_t>{CMD_READ_CONFIG, CMD_READ_READER, CMD_READ_ALARMS}));
    device.answersLeft = 10;
    EXPECT_TRUE(ReadDeviceRecords(device, records));
    EXPECT_EQ(records, device.memory);
}
