#include "SettingsTestSupport.h"

#include "COutputsDlg.h"
#include "CReaderConfigDlg.h"
#include "CSensorConfigDlg.h"
#include "DialogTemplate.h"
#include "MessageBoxTypes.h"
#include "ResourceIds.h"
#include "ThresholdText.h"
#include "Windows1250.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace {

QAccessible::Role ExpectedRole(ControlKind kind) {
    switch (kind) {
    case ControlKind::RadioButton:
        return QAccessible::RadioButton;
    case ControlKind::CheckBox:
        return QAccessible::CheckBox;
    case ControlKind::Edit:
        return QAccessible::EditableText;
    case ControlKind::GroupBox:
        return QAccessible::Grouping;
    case ControlKind::Static:
        return QAccessible::StaticText;
    default:
        return QAccessible::Button;
    }
}

TEST(SettingsTemplates, RolesNamesBuddiesAndTabOrderForScreenReadersAndKeyboards) {
    TestApp app;
    for (const int id : {IDD_SENSOR_CONFIG, IDD_READER_CONFIG, IDD_OUTPUTS}) {
        SCOPED_TRACE(id);
        CDialog dialog(id);
        ASSERT_TRUE(dialog.Create());
        std::vector<QWidget*> tabStops;
        std::set<QString> names;
        for (const BuiltControl& control : dialog.Controls()) {
            QAccessibleInterface* accessible =
                QAccessible::queryAccessibleInterface(control.widget);
            ASSERT_NE(accessible, nullptr);
            EXPECT_EQ(accessible->role(), ExpectedRole(control.source->kind))
                << control.source->caption;
            if (control.source->labelFor != 0) {
                EXPECT_EQ(static_cast<QLabel*>(control.widget)->buddy(),
                          dialog.GetDlgItem(control.source->labelFor));
            }
            if (control.widget->focusPolicy() != Qt::NoFocus) {
                tabStops.push_back(control.widget);
                const QString name = control.widget->accessibleName();
                EXPECT_FALSE(name.isEmpty()) << control.source->id;
                EXPECT_TRUE(names.insert(name).second) << "named twice: " << name.toStdString();
            }
        }
        for (std::size_t i = 0; i + 1 < tabStops.size(); ++i) {
            QWidget* next = tabStops[i]->nextInFocusChain();
            while (next->focusPolicy() == Qt::NoFocus) {
                next = next->nextInFocusChain();
            }
            EXPECT_EQ(next, tabStops[i + 1]) << "tab order breaks after control " << i;
        }
        dialog.DestroyWindow();
    }

    CDialog sensor(IDD_SENSOR_CONFIG);
    ASSERT_TRUE(sensor.Create());
    auto& reversed = *static_cast<QCheckBox*>(sensor.GetDlgItem(IDC_REVERSED));
    EXPECT_EQ(reversed.accessibleName().toStdString(), "Odwrocony kierunek wirowania");
    EXPECT_TRUE(reversed.text().contains('\n')) << "the caption wraps inside its box";
    EXPECT_EQ(sensor.GetDlgItem(IDC_OUTPUT_MODE_ONE_WAY)->geometry(),
              DialogBaseUnits::ForFont(sensor.GetWindow()->font()).ToPixels(18, 20, 70, 10));
    sensor.DestroyWindow();
}

// Bytes that a device could hold in a description: anything but NUL, up to `maxLength` of
// them, NUL, and junk after it.
void RandomDescription(std::mt19937& random, std::uint8_t* field, int maxLength) {
    std::uniform_int_distribution<int> length(0, maxLength);
    std::uniform_int_distribution<int> byte(1, 255);
    const int n = length(random);
    for (int i = 0; i < 16; ++i) {
        field[i] = i == n ? 0 : static_cast<std::uint8_t>(byte(random));
    }
}

template <typename Record> void ZeroFillAfterText(Record& record, std::size_t offset) {
    auto* field = &record.bytes[offset];
    std::fill(std::find(field, field + 16, 0), field + 16, 0);
}

template <typename Record> Record RandomBytes(std::mt19937& random) {
    Record record;
    std::uniform_int_distribution<int> byte(0, 255);
    for (auto& b : record.bytes) {
        b = static_cast<std::uint8_t>(byte(random));
    }
    return record;
}

// Opens the dialog on the record, lets `act` work on its window, presses the OK button and
// returns the record as the dialog left it.
template <typename Dialog, typename Record>
Record Confirm(const Record& read, const std::function<void(QWidget&)>& act) {
    Dialog dialog;
    dialog.m_record = read;
    EXPECT_TRUE(dialog.Create());
    act(*dialog.GetWindow());
    QTest::mouseClick(&Control<QAbstractButton>(*dialog.GetWindow(), IDOK), Qt::LeftButton);
    EXPECT_FALSE(dialog.GetWindow()->isVisible());
    EXPECT_EQ(dialog.GetWindow()->result(), IDOK);
    dialog.DestroyWindow();
    return dialog.m_record;
}

void Click(QWidget& window, int id) {
    QTest::mouseClick(&Control<QAbstractButton>(window, id), Qt::LeftButton);
}

constexpr int kRuns = 40;

SensorConfigRecord RandomSensorRecord(std::mt19937& random) {
    auto record = RandomBytes<SensorConfigRecord>(random);
    std::uniform_int_distribution<int> magnitude(50, 209), serial(0, 9999), coin(0, 1);
    record.setRange(static_cast<std::int16_t>(magnitude(random) * (coin(random) ? -1 : 1)));
    record.setSerialNumber(static_cast<std::uint16_t>(serial(random)));
    RandomDescription(random, &record.bytes[11], 15);
    return record;
}

TEST(SensorConfigDlg, ConfirmedUntouchedRecordsComeBackBarTheNamedConversions) {
    TestApp app;
    std::mt19937 random(1049);
    for (int run = 0; run < kRuns; ++run) {
        const SensorConfigRecord read = RandomSensorRecord(random);
        SensorConfigRecord expected = read;
        const int range = read.range();
        expected.setRange(static_cast<std::int16_t>(range / 10 * 10)); // whole m/s, sign kept
        ZeroFillAfterText(expected, 11);
        const auto written = Confirm<CSensorConfigDlg>(read, [](QWidget&) {});
        ASSERT_EQ(written.bytes, expected.bytes) << "run " << run;
    }
    EXPECT_TRUE(app.shown.empty());
}

TEST(SensorConfigDlg, EveryFieldChangedLeavesTheUninterpretedBytesAsRead) {
    TestApp app;
    std::mt19937 random(1202);
    const std::u32string alphabet = U"aąbcćeęlłnńoóśzźżAĄĘŁŃÓŚŹŻ 09-";
    for (int run = 0; run < kRuns / 4; ++run) {
        const SensorConfigRecord read = RandomSensorRecord(random);
        const int newRange = std::uniform_int_distribution<int>(5, 20)(random);
        QString description;
        for (int i = std::uniform_int_distribution<int>(0, 15)(random); i > 0; --i) {
            description += QString::fromUcs4(&alphabet[std::uniform_int_distribution<std::size_t>(
                                                 0, alphabet.size() - 1)(random)],
                                             1);
        }
        const auto written = Confirm<CSensorConfigDlg>(read, [&](QWidget& window) {
            Click(window, read.outputMode() ? IDC_OUTPUT_MODE_ONE_WAY : IDC_OUTPUT_MODE_TWO_WAY);
            Click(window, read.outputKind() ? IDC_OUTPUT_KIND_CURRENT : IDC_OUTPUT_KIND_VOLTAGE);
            Click(window, IDC_DAC_RS);
            Click(window, IDC_REVERSED);
            TypeInto(window, IDC_RANGE, std::to_string(newRange));
            TypeInto(window, IDC_DESCRIPTION, description.toStdString());
        });
        SCOPED_TRACE("run " + std::to_string(run));
        for (const std::size_t i : {0, 1, 2, 3, 6, 7, 8, 9}) {
            EXPECT_EQ(written.bytes[i], read.bytes[i]) << "byte " << i;
        }
        for (std::size_t i = 27; i < SensorConfigRecord::kSize; ++i) {
            EXPECT_EQ(written.bytes[i], read.bytes[i]) << "byte " << i;
        }
        EXPECT_EQ(written.flags(), read.flags() ^ 0x07) << "bits 3-7 as read, 0-2 flipped";
        EXPECT_EQ(written.range(), newRange * (read.range() < 0 ? 10 : -10));
        SensorConfigRecord expected = read;
        std::string error;
        expected.setDescription(*EncodeWindows1250(description.toStdString(), error));
        EXPECT_TRUE(std::equal(&written.bytes[11], &written.bytes[27], &expected.bytes[11]));
    }
}

ReaderDataRecord RandomReaderRecord(std::mt19937& random) {
    auto record = RandomBytes<ReaderDataRecord>(random);
    record.setSerialNumber(
        static_cast<std::uint16_t>(std::uniform_int_distribution(1, 65000)(random)));
    record.setRecordInterval(
        static_cast<std::uint8_t>(std::uniform_int_distribution(1, 250)(random)));
    RandomDescription(random, &record.bytes[8], 15);
    return record;
}

TEST(ReaderConfigDlg, ConfirmedRecordsComeBackAsReadBarTheChangedFields) {
    TestApp app;
    std::mt19937 random(1012);
    for (int run = 0; run < kRuns; ++run) {
        const ReaderDataRecord read = RandomReaderRecord(random);
        ReaderDataRecord expected = read;
        ZeroFillAfterText(expected, 8);
        ASSERT_EQ(Confirm<CReaderConfigDlg>(read, [](QWidget&) {}).bytes, expected.bytes)
            << "run " << run;

        // Interval and description changed; the serial number's edit takes no typing.
        const int interval = std::uniform_int_distribution(1, 250)(random);
        const auto written = Confirm<CReaderConfigDlg>(read, [&](QWidget& window) {
            TypeInto(window, IDC_INTERVAL, std::to_string(interval));
            TypeInto(window, IDC_DESCRIPTION, "Żuraw 7");
            TypeInto(window, IDC_SERIAL, "1");
        });
        expected.setRecordInterval(static_cast<std::uint8_t>(interval));
        expected.setDescription("\xAFuraw 7");
        ASSERT_EQ(written.bytes, expected.bytes) << "run " << run;
    }
    EXPECT_TRUE(app.shown.empty());
}

AlarmDataRecord RandomAlarmRecord(std::mt19937& random) {
    auto record = RandomBytes<AlarmDataRecord>(random);
    for (int output = 1; output <= 3; ++output) {
        const int min = std::uniform_int_distribution(-200, 200)(random);
        record.setMinThreshold(output, static_cast<std::int16_t>(min));
        record.setMaxThreshold(
            output, static_cast<std::int16_t>(std::uniform_int_distribution(min, 200)(random)));
    }
    return record;
}

TEST(OutputsDlg, ConfirmedRecordsComeBackAsReadBarTheChangedFields) {
    TestApp app;
    std::mt19937 random(1005);
    for (int run = 0; run < kRuns; ++run) {
        const AlarmDataRecord read = RandomAlarmRecord(random);
        AlarmDataRecord expected = read;
        for (int output = 1; output <= 3; ++output) {
            // 0, 1 and 2 are states of the box; anything else shows unchecked.
            if (read.inverted(output) > 2) {
                expected.setInverted(output, 0);
            }
        }
        ASSERT_EQ(Confirm<COutputsDlg>(read, [](QWidget&) {}).bytes, expected.bytes)
            << "run " << run;

        // Every output made active, its thresholds typed, "inw" set, then some switched off.
        const int activeIds[] = {IDC_OUTPUT1_ACTIVE, IDC_OUTPUT2_ACTIVE, IDC_OUTPUT3_ACTIVE};
        const int minIds[] = {IDC_OUTPUT1_MIN, IDC_OUTPUT2_MIN, IDC_OUTPUT3_MIN};
        const int maxIds[] = {IDC_OUTPUT1_MAX, IDC_OUTPUT2_MAX, IDC_OUTPUT3_MAX};
        const int invertedIds[] = {IDC_OUTPUT1_INVERTED, IDC_OUTPUT2_INVERTED,
                                   IDC_OUTPUT3_INVERTED};
        const AlarmDataRecord wanted = RandomAlarmRecord(random);
        const auto written = Confirm<COutputsDlg>(read, [&](QWidget& window) {
            for (int i = 0; i < 3; ++i) {
                if (!read.active(i + 1)) {
                    Click(window, activeIds[i]);
                }
                TypeInto(window, minIds[i], FormatThreshold(wanted.minThreshold(i + 1)));
                TypeInto(window, maxIds[i], FormatThreshold(wanted.maxThreshold(i + 1)));
                auto& inverted = Control<QCheckBox>(window, invertedIds[i]);
                inverted.setFocus();
                while (inverted.checkState() !=
                       (wanted.inverted(i + 1) & 1 ? Qt::Checked : Qt::Unchecked)) {
                    QTest::keyClick(&inverted, Qt::Key_Space);
                }
                if (!wanted.active(i + 1)) {
                    Click(window, activeIds[i]);
                }
            }
        });
        for (int output = 1; output <= 3; ++output) {
            expected.setMinThreshold(output, wanted.minThreshold(output));
            expected.setMaxThreshold(output, wanted.maxThreshold(output));
            expected.setInverted(output, wanted.inverted(output) & 1);
            expected.setActive(output, wanted.active(output));
        }
        ASSERT_EQ(written.bytes, expected.bytes) << "run " << run;
    }
    EXPECT_TRUE(app.shown.empty());
}

// One validation case: the record as the device sent it and what the user did, then the boxes
// "Zatwierdź" or "Zapisz" shows, in order, and the control that gets the focus (0 for a
// disabled one, which cannot take it).
template <typename Record> struct Refusal {
    const char* what;
    std::function<void(Record&)> device;
    std::function<void(QWidget&)> user;
    std::vector<std::string> messages;
    int focus;
};

template <typename Dialog, typename Record>
void ExpectRefusals(const Record& valid, const std::vector<Refusal<Record>>& refusals) {
    for (const Refusal<Record>& refusal : refusals) {
        SCOPED_TRACE(refusal.what);
        TestApp app;
        Dialog dialog;
        dialog.m_record = valid;
        if (refusal.device) {
            refusal.device(dialog.m_record);
        }
        ASSERT_TRUE(dialog.Create());
        QWidget& window = *dialog.GetWindow();
        if (refusal.user) {
            refusal.user(window);
        }
        Click(window, IDOK);
        std::vector<std::string> shown;
        for (const auto& box : app.shown) {
            shown.push_back(box.text);
            EXPECT_EQ(EffectiveMessageBoxIcon(box.type), unsigned{MB_ICONEXCLAMATION});
        }
        EXPECT_EQ(shown, refusal.messages);
        EXPECT_TRUE(window.isVisible()) << "the dialog stays open";
        if (refusal.focus != 0) {
            EXPECT_EQ(FocusedId(window), refusal.focus);
            auto& edit = Control<QLineEdit>(window, refusal.focus);
            EXPECT_EQ(edit.selectedText(), edit.text());
        }
        dialog.DestroyWindow();
    }
}

auto Type(int id, std::string text) {
    return [id, text](QWidget& window) { TypeInto(window, id, text); };
}
// Past the read-only flag, as only the program could.
auto SetText(int id, std::string text) {
    return [id, text](QWidget& window) {
        Control<QLineEdit>(window, id).setText(QString::fromStdString(text));
    };
}

std::string Between(int lo, int hi) {
    return "Please enter an integer between " + std::to_string(lo) + " and " + std::to_string(hi) +
           ".";
}

const std::string kTooLong15 = "Please enter no more than 15 characters.";

TEST(SensorConfigDlg, RefusalsInOrderWithTheFocusOnTheField) {
    using Record = SensorConfigRecord;
    Record valid;
    valid.setSerialNumber(7);
    valid.setRange(120);
    const auto serial10000 = [](Record& r) { r.setSerialNumber(10000); };
    const std::string chars4 = "Please enter no more than 4 characters.";
    const std::string integer = "Please enter an integer.";
    ExpectRefusals<CSensorConfigDlg, Record>(
        valid,
        {
            {"serial 10000", serial10000, nullptr, {chars4}, IDC_SERIAL},
            {"serial before range", serial10000, Type(IDC_RANGE, "x"), {chars4}, IDC_SERIAL},
            {"empty range", nullptr, Type(IDC_RANGE, ""), {integer}, IDC_RANGE},
            {"range 12a", nullptr, Type(IDC_RANGE, "12a"), {integer}, IDC_RANGE},
            {"range 4", nullptr, Type(IDC_RANGE, "4"), {Between(5, 20)}, IDC_RANGE},
            {"range 21", nullptr, Type(IDC_RANGE, "21"), {Between(5, 20)}, IDC_RANGE},
            {"range 0 from the device",
             [](Record& r) { r.setRange(0); },
             nullptr,
             {Between(5, 20)},
             IDC_RANGE},
            {"16 characters from the device",
             [](Record& r) { r.setDescription("0123456789abcdef"); },
             nullptr,
             {kTooLong15},
             IDC_DESCRIPTION},
            {"year 2021",
             nullptr,
             SetText(IDC_PRODUCTION_YEAR, "2021"),
             {Between(2005, 2020)},
             IDC_PRODUCTION_YEAR},
            {"year x", nullptr, SetText(IDC_PRODUCTION_YEAR, "x"), {integer}, IDC_PRODUCTION_YEAR},
        });

    // A long text from the device is shown whole; the check above refuses it.
    TestApp app;
    CSensorConfigDlg dialog;
    dialog.m_record = valid;
    dialog.m_record.setSerialNumber(12345);
    dialog.m_record.setDescription("0123456789abcdef");
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.GetDlgItemText(IDC_SERIAL), "12345");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_DESCRIPTION), "0123456789abcdef");
    dialog.DestroyWindow();

    EXPECT_EQ(Confirm<CSensorConfigDlg>(valid, Type(IDC_RANGE, " 12 ")).range(), 120);
}

TEST(ReaderConfigDlg, RefusalsInOrderWithTheFocusOnTheField) {
    using Record = ReaderDataRecord;
    Record valid;
    valid.setSerialNumber(42);
    valid.setRecordInterval(10);
    const auto serial0 = [](Record& r) { r.setSerialNumber(0); };
    const std::string byte = "Please enter an integer between 0 and 255.";
    ExpectRefusals<CReaderConfigDlg, Record>(
        valid,
        {
            {"serial 0", serial0, nullptr, {Between(1, 65000)}, IDC_SERIAL},
            {"serial before interval",
             serial0,
             Type(IDC_INTERVAL, "0"),
             {Between(1, 65000)},
             IDC_SERIAL},
            {"serial 65001",
             [](Record& r) { r.setSerialNumber(65001); },
             nullptr,
             {Between(1, 65000)},
             IDC_SERIAL},
            {"16 characters from the device",
             [](Record& r) { r.setDescription("0123456789abcdef"); },
             nullptr,
             {kTooLong15},
             IDC_DESCRIPTION},
            {"interval 300", nullptr, Type(IDC_INTERVAL, "300"), {byte}, IDC_INTERVAL},
            {"interval -1", nullptr, Type(IDC_INTERVAL, "-1"), {byte}, IDC_INTERVAL},
            {"empty interval", nullptr, Type(IDC_INTERVAL, ""), {byte}, IDC_INTERVAL},
            {"interval 251", nullptr, Type(IDC_INTERVAL, "251"), {Between(1, 250)}, IDC_INTERVAL},
            {"interval 0 from the device",
             [](Record& r) { r.setRecordInterval(0); },
             nullptr,
             {Between(1, 250)},
             IDC_INTERVAL},
        });

    TestApp app;
    CReaderConfigDlg dialog;
    dialog.m_record = valid;
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.GetDlgItemText(IDC_SERIAL), "42") << "a plain number, unlike 007";
    dialog.DestroyWindow();
}

TEST(OutputsDlg, RefusalsInOrderWithTheFocusOnTheField) {
    using Record = AlarmDataRecord;
    Record valid;
    for (int output = 1; output <= 3; ++output) {
        valid.setMaxThreshold(output, 120);
        valid.setActive(output, true);
    }
    const std::string range = "Wartosc powinna byc z zakresu od ";
    const auto typeBoth = [](int minId, std::string min, int maxId, std::string max) {
        return [=](QWidget& window) {
            TypeInto(window, minId, min);
            TypeInto(window, maxId, max);
        };
    };
    ExpectRefusals<COutputsDlg, Record>(
        valid, {
                   {"min 1 with a comma",
                    nullptr,
                    Type(IDC_OUTPUT1_MIN, "5,5"),
                    {"Niedozwolone znaki"},
                    IDC_OUTPUT1_MIN},
                   {"min 1 -20.1",
                    nullptr,
                    Type(IDC_OUTPUT1_MIN, "-20.1"),
                    {range + "-20.0 do 20.0"},
                    IDC_OUTPUT1_MIN},
                   {"max 1 under min 1",
                    nullptr,
                    typeBoth(IDC_OUTPUT1_MIN, "5.5", IDC_OUTPUT1_MAX, "5.4"),
                    {range + "5.5 do 20.0"},
                    IDC_OUTPUT1_MAX},
                   {"max 2 under min 2",
                    nullptr,
                    typeBoth(IDC_OUTPUT2_MIN, "-3.5", IDC_OUTPUT2_MAX, "-4.0"),
                    {range + "-3.5 do 20.0"},
                    IDC_OUTPUT2_MAX},
                   {"min 3 6554",
                    nullptr,
                    Type(IDC_OUTPUT3_MIN, "6554"),
                    {range + "-20.0 do 20.0"},
                    IDC_OUTPUT3_MIN},
                   {"max 3 20.1",
                    nullptr,
                    Type(IDC_OUTPUT3_MAX, "20.1"),
                    {range + "0.0 do 20.0"},
                    IDC_OUTPUT3_MAX},
                   {"row 1 before row 2",
                    nullptr,
                    typeBoth(IDC_OUTPUT2_MIN, "x", IDC_OUTPUT1_MAX, "a"),
                    {"Niedozwolone znaki"},
                    IDC_OUTPUT1_MAX},
                   {"-100.0 from the device",
                    [](Record& r) { r.setMinThreshold(1, -1000); },
                    nullptr,
                    {"Please enter no more than 5 characters.", range + "-20.0 do 20.0"},
                    IDC_OUTPUT1_MIN},
                   {"inactive rows are checked too",
                    [](Record& r) { r.setActive(2, false); },
                    SetText(IDC_OUTPUT2_MIN, "abc"),
                    {"Niedozwolone znaki"},
                    0},
               });

    // The bounds themselves pass; an empty text and a lone minus are 0.
    const auto written = Confirm<COutputsDlg>(valid, [](QWidget& window) {
        TypeInto(window, IDC_OUTPUT1_MIN, "-20.0");
        TypeInto(window, IDC_OUTPUT2_MIN, "5.5");
        TypeInto(window, IDC_OUTPUT2_MAX, "5.5");
        TypeInto(window, IDC_OUTPUT3_MIN, "-");
        TypeInto(window, IDC_OUTPUT3_MAX, "");
    });
    EXPECT_EQ(written.minThreshold(1), -200);
    EXPECT_EQ(written.minThreshold(2), 55);
    EXPECT_EQ(written.maxThreshold(2), 55);
    EXPECT_EQ(written.minThreshold(3), 0);
    EXPECT_EQ(written.maxThreshold(3), 0);
}

TEST(OutputsDlg, RowsFollowTheirActiveBoxOnly) {
    TestApp app;
    COutputsDlg dialog;
    dialog.m_record.setMinThreshold(1, 55);
    dialog.m_record.setMaxThreshold(1, 120);
    dialog.m_record.setActiveOutputs(0x0A); // outputs 1 and 3
    ASSERT_TRUE(dialog.Create());
    QWidget& window = *dialog.GetWindow();
    const auto rows = [&] {
        std::vector<int> enabled;
        for (const int id : {IDC_OUTPUT1_INVERTED, IDC_OUTPUT1_MIN, IDC_OUTPUT1_MAX,
                             IDC_OUTPUT2_INVERTED, IDC_OUTPUT2_MIN, IDC_OUTPUT2_MAX,
                             IDC_OUTPUT3_INVERTED, IDC_OUTPUT3_MIN, IDC_OUTPUT3_MAX}) {
            enabled.push_back(dialog.IsDlgItemEnabled(id) ? 1 : 0);
        }
        return enabled;
    };
    EXPECT_EQ(Control<QLineEdit>(window, IDC_OUTPUT1_MIN).text().toStdString(), "5.5");
    EXPECT_EQ(Control<QLineEdit>(window, IDC_OUTPUT1_MAX).text().toStdString(), "12.0");
    EXPECT_EQ(rows(), (std::vector<int>{1, 1, 1, 0, 0, 0, 1, 1, 1}));
    Click(window, IDC_OUTPUT1_ACTIVE);
    EXPECT_EQ(rows(), (std::vector<int>{0, 0, 0, 0, 0, 0, 1, 1, 1}));
    Click(window, IDC_OUTPUT2_ACTIVE);
    EXPECT_EQ(rows(), (std::vector<int>{0, 0, 0, 1, 1, 1, 1, 1, 1}));
    Click(window, IDC_OUTPUT1_ACTIVE);
    EXPECT_EQ(rows(), (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, 1}));
    for (const int id : {IDC_OUTPUT1_ACTIVE, IDC_OUTPUT2_ACTIVE, IDC_OUTPUT3_ACTIVE}) {
        EXPECT_TRUE(dialog.IsDlgItemEnabled(id));
    }
    EXPECT_TRUE(app.shown.empty());

    // A field that fails the exchange does not keep the row from following its box.
    dialog.SetDlgItemText(IDC_OUTPUT1_MIN, "-100.0");
    Click(window, IDC_OUTPUT3_ACTIVE);
    EXPECT_EQ(rows(), (std::vector<int>{1, 1, 1, 1, 1, 1, 0, 0, 0}));
    dialog.DestroyWindow();
}

TEST(OutputsDlg, HalfCheckedInwGoesBackAsTwoUntilClicked) {
    TestApp app;
    AlarmDataRecord read;
    read.setInverted(1, 2);
    read.setInverted(2, 2);
    read.setInverted(3, 200);
    read.setActiveOutputs(0x0E);
    const auto untouched = Confirm<COutputsDlg>(read, [](QWidget& window) {
        EXPECT_EQ(Control<QCheckBox>(window, IDC_OUTPUT1_INVERTED).checkState(),
                  Qt::PartiallyChecked);
        EXPECT_EQ(Control<QCheckBox>(window, IDC_OUTPUT3_INVERTED).checkState(), Qt::Unchecked);
    });
    EXPECT_EQ(untouched.inverted(1), 2);
    EXPECT_EQ(untouched.inverted(3), 0);

    const auto clicked = Confirm<COutputsDlg>(read, [](QWidget& window) {
        std::vector<Qt::CheckState> states;
        for (int i = 0; i < 3; ++i) {
            Click(window, IDC_OUTPUT1_INVERTED);
            states.push_back(Control<QCheckBox>(window, IDC_OUTPUT1_INVERTED).checkState());
        }
        EXPECT_EQ(states, (std::vector<Qt::CheckState>{Qt::Checked, Qt::Unchecked, Qt::Checked}));
    });
    EXPECT_EQ(clicked.inverted(1), 1);
    EXPECT_EQ(clicked.inverted(2), 2);
}

TEST(DescriptionEdit, TakesNeitherASixteenthCharacterNorOneTheDeviceCannotHold) {
    TestApp app;
    for (const int dialogId : {IDD_SENSOR_CONFIG, IDD_READER_CONFIG}) {
        SCOPED_TRACE(dialogId);
        const auto check = [](QWidget& window) {
            auto& edit = Control<QLineEdit>(window, IDC_DESCRIPTION);
            TypeInto(window, IDC_DESCRIPTION, "Łódź→€");
            EXPECT_EQ(edit.text().toStdString(), "Łódź€") << "the arrow has no byte";
            QApplication::clipboard()->setText(QStringLiteral("x✓y"));
            edit.end(false);
            edit.paste();
            EXPECT_EQ(edit.text().toStdString(), "Łódź€") << "a paste is refused whole";
            for (const QString& control : {QStringLiteral("a\tb"), QStringLiteral("a\nb"),
                                           QString(QChar(0)), QString(QChar(0x85))}) {
                QApplication::clipboard()->setText(control);
                edit.paste();
                EXPECT_EQ(edit.text().toStdString(), "Łódź€") << "control characters";
            }
            TypeText(edit, QStringLiteral("0123456789abc"));
            EXPECT_EQ(edit.text().toStdString(), "Łódź€0123456789");
        };
        if (dialogId == IDD_SENSOR_CONFIG) {
            SensorConfigRecord record;
            record.setRange(100);
            EXPECT_EQ(Confirm<CSensorConfigDlg>(record, check).description(), "\xA3\xF3\x64\x9F\x80"
                                                                              "0123456789");
        } else {
            ReaderDataRecord record;
            record.setSerialNumber(1);
            record.setRecordInterval(1);
            EXPECT_EQ(Confirm<CReaderConfigDlg>(record, check).description(), "\xA3\xF3\x64\x9F\x80"
                                                                              "0123456789");
        }
    }
}

} // namespace
