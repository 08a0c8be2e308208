// Vantrel.ini read and written through the real IniFile in a temporary folder.
#include "ide/Settings.h"
#include "common/ComPortName.h"
#include "ide/Globals.h"
#include "platform/ini/IniFile.h"
#include "tests/support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Vantrel;
using ::testing::ElementsAre;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() { ResetGlobals(); }

    void Write(const std::string& text) { ASSERT_TRUE(testsupport::WriteFileBytes(path, text)); }
    std::string Read() const { return testsupport::FileBytes(path); }
    std::string Load() {
        IniFile ini(path);
        return LoadSettingsFromIni(ini);
    }

    testsupport::TTempFolder dir;
    std::string path = dir.File("Vantrel.ini");
};

TEST_F(SettingsTest, MissingFileGivesBuiltInChipsAndCom2WithoutFailing) {
    EXPECT_EQ(Load(), "COM2");
    EXPECT_EQ(SerialPortNumber, 2);
    EXPECT_EQ(ChipCount, 7);
    EXPECT_EQ(ChipNames[0], "MC68HC11A1");
    EXPECT_EQ(ChipNames[6], "MC68HC11D3");
    EXPECT_EQ(ChipRamSize[6], 192);
    EXPECT_EQ(ChipEESize[2], 0);
    EXPECT_EQ(ChipRamSize[3], 512);
}

TEST_F(SettingsTest, GapAtSlotEightLoadsSlotSevenOnlyAndTheNextSaveDropsSlotNine) {
    Write(
        "[chipi]\nintegrirc7=MC68HC11F1\nRAM7=1024\nEE7=512\n"
        "integrirc9=MC68HC11K4\nRAM9=768\nEE9=640\n[vrata]\nser1=1\n");
    EXPECT_EQ(Load(), "COM1");
    EXPECT_EQ(ChipCount, 8);
    EXPECT_EQ(ChipNames[7], "MC68HC11F1");
    EXPECT_EQ(ChipRamSize[7], 1024);
    EXPECT_EQ(ChipEESize[7], 512);
    IniFile ini(path);
    SaveSettingsToIni(ini);
    EXPECT_EQ(Read(), "[chipi]\nintegrirc7=MC68HC11F1\nRAM7=1024\nEE7=512\n[vrata]\nser1=1\n");
}

TEST_F(SettingsTest, PortNumberMapsToItsOwnPortAndBadValuesGiveCom2) {
    struct Row {
        const char* value;
        const char* port;
        int number;
    };
    for (Row row : {Row{"3", "COM3", 3}, Row{"5", "COM5", 5}, Row{"16", "COM16", 16}, Row{"1", "COM1", 1},
                    Row{"0", "COM2", 2}, Row{"17", "COM2", 2}, Row{"-1", "COM2", 2}, Row{"tri", "COM2", 2},
                    Row{"", "COM2", 2}, Row{"3x", "COM2", 2}}) {
        Write(std::string("[vrata]\nser1=") + row.value + "\n");
        EXPECT_EQ(Load(), row.port) << "ser1=" << row.value;
        EXPECT_EQ(SerialPortNumber, row.number) << "ser1=" << row.value;
    }
}

TEST_F(SettingsTest, BadOrMissingSizeEndsTheTableAtThatSlot) {
    for (const char* slot8 : {"integrirc8=X68HC\nRAM8=abc\nEE8=0\n", "integrirc8=X68HC\nEE8=0\n",
                              "integrirc8=X68HC\nRAM8=256\nEE8=\n", "integrirc8=X68HC\nRAM8=-5\nEE8=0\n"}) {
        Write(std::string("[chipi]\nintegrirc7=A68HC\nRAM7=256\nEE7=0\n") + slot8 +
              "integrirc9=B68HC\nRAM9=256\nEE9=0\n[vrata]\nser1=4\n");
        EXPECT_EQ(Load(), "COM4") << slot8;
        EXPECT_EQ(ChipCount, 8) << slot8;
        EXPECT_EQ(ChipNames[7], "A68HC");
    }
}

TEST_F(SettingsTest, SeventeenAddedSlotsAreCappedAtTheTablesSixteen) {
    std::string text = "[chipi]\n";
    for (int n = 7; n < 7 + 17; ++n) {
        const std::string i = std::to_string(n);
        text += "integrirc" + i + "=MC68HC" + i + "\nRAM" + i + "=" + std::to_string(n * 10) + "\nEE" + i + "=0\n";
    }
    Write(text);
    Load();
    EXPECT_EQ(ChipCount, 16);
    EXPECT_EQ(ChipNames[15], "MC68HC15");
    EXPECT_EQ(ChipRamSize[15], 150);
}

TEST_F(SettingsTest, SaveWritesEachSlotsKeysInOrderThenThePortAndKeepsOtherSections) {
    Write("[drugo]\nx=1\n[vrata]\nser1=9\n[chipi]\nintegrirc7=old\n");
    FillBuiltInChips();
    ChipNames[7] = "mc68hc11f1";
    ChipRamSize[7] = 1024;
    ChipEESize[7] = 512;
    ChipNames[8] = "MC68HC711E9";
    ChipRamSize[8] = 512;
    ChipEESize[8] = 512;
    ChipCount = 9;
    SerialPortNumber = 5;
    IniFile ini(path);
    SaveSettingsToIni(ini);
    EXPECT_EQ(Read(),
              "[drugo]\nx=1\n[chipi]\nintegrirc7=mc68hc11f1\nRAM7=1024\nEE7=512\n"
              "integrirc8=MC68HC711E9\nRAM8=512\nEE8=512\n[vrata]\nser1=5\n");
    // And back: the round trip gives the same table.
    ResetGlobals();
    EXPECT_EQ(Load(), "COM5");
    EXPECT_EQ(ChipCount, 9);
    EXPECT_EQ(ChipNames[8], "MC68HC711E9");
}

TEST_F(SettingsTest, ClosingWithOnlyBuiltInChipsLeavesChipiErasedAndWritesThePort) {
    Write("[chipi]\nintegrirc7=A68HC\nRAM7=1\nEE7=1\n[vrata]\nser1=1\n");
    FillBuiltInChips();
    ChipCount = 7;
    SerialPortNumber = 3;
    IniFile ini(path);
    SaveSettingsToIni(ini);
    EXPECT_EQ(Read(), "[vrata]\nser1=3\n");
}

TEST(PortNames, NumberFromNameTakesComOneToSixteenOnly) {
    struct Row {
        const char* name;
        int number;
    };
    for (Row row : {Row{"COM1", 1}, Row{"com7", 7}, Row{"COM16", 16}, Row{"COM17", 0}, Row{"COM0", 0}, Row{"COM01", 0},
                    Row{"LPT1", 0}, Row{"COM", 0}, Row{"", 0}, Row{"COM1x", 0}})
        EXPECT_EQ(ComPortNumber(row.name), row.number) << row.name;
    EXPECT_EQ(ComPortName(12), "COM12");
}

}  // namespace

// Found by fuzzing: a CR alone inside a line came back as part of a chip's
// name, which the save at exit then refused to write, after it had erased
// both sections: every setting was lost.
TEST_F(SettingsTest, ACarriageReturnAloneEndsALineSoTheSaveKeepsEverything) {
    Write("[chipi]\r\nintegrirc7=MC68HC11F1\r>>>\r\nRAM7=1024\r\nEE7=512\r\n[vrata]\r\nser1=3\r\n");
    EXPECT_EQ(Load(), "COM3");
    EXPECT_EQ(ChipCount, 8);
    EXPECT_EQ(ChipNames[7], "MC68HC11F1");
    IniFile ini(path);
    EXPECT_NO_THROW(SaveSettingsToIni(ini));
    EXPECT_EQ(Read(), "[chipi]\nintegrirc7=MC68HC11F1\nRAM7=1024\nEE7=512\n[vrata]\nser1=3\n");
}

// Found by fuzzing: a second [chipi] section, which no reading looks at,
// became the chip table after the first save.
TEST_F(SettingsTest, ASecondChipSectionDoesNotComeToLightAfterASave) {
    Write("[chipi]\nintegrirc7=MC68HC11F1\n[CHIPI]\nintegrirc7=A B\nRAM7=$5\nEE7=1\n[vrata]\nser1=2\n");
    Load();
    EXPECT_EQ(ChipCount, 7);
    IniFile ini(path);
    SaveSettingsToIni(ini);
    Load();
    EXPECT_EQ(ChipCount, 7);
    EXPECT_EQ(Read(), "[vrata]\nser1=2\n");
}
