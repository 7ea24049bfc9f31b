#include "DescriptionText.h"
#include "OutputsForm.h"
#include "SensorConfigForm.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(SensorConfigForm, ShowsTheRecordAsTheDialogNeedsIt) {
    const struct {
        std::uint16_t serial;
        std::int16_t range;
        std::uint8_t flags;
        const char* shownSerial;
        int shownRange, reversed, mode, kind, dacRs, year;
    } cases[] = {
        {7, -155, 0x00, "007", 15, 1, 0, 0, 0, 2005},
        {1234, 155, 0x7F, "1234", 15, 0, 1, 1, 1, 2020},
        {10000, 0, 0x0A, "10000", 0, 0, 1, 0, 0, 2006},
        {65535, -32768, 0x85, "65535", 3276, 1, 0, 1, 1, 2005},
    };
    for (const auto& c : cases) {
        SensorConfigForm form;
        form.m_record.setSerialNumber(c.serial);
        form.m_record.setRange(c.range);
        form.m_record.setFlags(c.flags);
        form.m_record.setDescription("Wiatr \x9C\xB3\xF3\x9F"); // "śłóź" in Windows-1250
        form.RecordToFields();
        EXPECT_EQ(form.m_strSerial, c.shownSerial);
        EXPECT_EQ(form.m_nRange, c.shownRange);
        EXPECT_EQ(form.m_bReversed, c.reversed);
        EXPECT_EQ(form.m_nOutputMode, c.mode);
        EXPECT_EQ(form.m_nOutputKind, c.kind);
        EXPECT_EQ(form.m_bDacRs, c.dacRs);
        EXPECT_EQ(form.m_nYear, c.year);
        EXPECT_EQ(form.m_strDescription, "Wiatr śłóź");
    }
}

TEST(SensorConfigForm, DescriptionTheDeviceCannotHoldStaysAsRead) {
    SensorConfigForm form;
    form.m_record.setDescription("stary opis");
    form.RecordToFields();
    form.m_nRange = 12;
    form.m_strDescription = "nowy → opis";
    EXPECT_FALSE(form.FieldsToRecord());
    EXPECT_EQ(form.m_record.description(), "stary opis");
    EXPECT_EQ(form.m_record.range(), 120) << "the other fields are written";

    form.m_strDescription = "Łódź";
    EXPECT_TRUE(form.FieldsToRecord());
    EXPECT_EQ(form.m_record.description(), "\xA3\xF3\x64\x9F");
}

TEST(DescriptionText, ControlCharactersAreRefusedLikeCharactersTheDeviceCannotHold) {
    for (const char32_t refused :
         {U'\0', U'\t', U'\n', U'\r', U'\x1F', U'\x7F', U'\x81', U'\x85', U'\x9F', U'→'}) {
        EXPECT_FALSE(IsDescriptionCharacter(refused)) << static_cast<unsigned>(refused);
    }
    for (const char32_t taken : {U' ', U'z', U'Ł', U'€', U'\xA0'}) {
        EXPECT_TRUE(IsDescriptionCharacter(taken)) << static_cast<unsigned>(taken);
    }
}

TEST(OutputsForm, ShowsThresholdsWithOneDecimalAndWritesTheTextsValues) {
    OutputsForm form;
    form.m_record.setMinThreshold(1, 55);
    form.m_record.setMaxThreshold(1, 120);
    form.m_record.setMinThreshold(2, -1000);
    form.m_record.setInverted(3, 7);
    form.m_record.setActiveOutputs(0xF3); // outputs 1 active, 2 and 3 not; bits 0, 4-7 set
    form.RecordToFields();
    EXPECT_EQ(form.m_strMin[0], "5.5");
    EXPECT_EQ(form.m_strMax[0], "12.0");
    EXPECT_EQ(form.m_strMin[1], "-100.0");
    EXPECT_EQ(form.m_bInverted[2], 7);
    EXPECT_EQ((std::vector<int>(form.m_bActive, form.m_bActive + 3)), (std::vector<int>{1, 0, 0}));

    form.m_strMin[0] = "1.19";
    form.m_strMax[0] = "-";
    form.m_bActive[0] = 0;
    form.m_bActive[2] = 1;
    form.m_bInverted[2] = 0;
    form.FieldsToRecord();
    EXPECT_EQ(form.m_record.minThreshold(1), 11);
    EXPECT_EQ(form.m_record.maxThreshold(1), 0);
    EXPECT_EQ(form.m_record.activeOutputs(), 0xF9);
    EXPECT_EQ(form.m_record.inverted(3), 0);
}

} // namespace
