// The chip table's add and delete on the globals: the refusals change
// nothing, and a deletion keeps every later name with its own sizes.
#include "ide/ChipTable.h"

#include "ide/Globals.h"

#include <gtest/gtest.h>

namespace Vantrel {
namespace {

class ChipTableTest : public ::testing::Test {
protected:
    ChipTableTest() {
        ResetGlobals();
        FillBuiltInChips();
    }
    struct Slot {
        std::string Name;
        int Ram;
        int Eeprom;
        bool operator==(const Slot&) const = default;
    };
    static std::vector<Slot> Table() {
        std::vector<Slot> slots;
        for (int s = 0; s < ChipCount; ++s) slots.push_back({ChipNames[s], ChipRamSize[s], ChipEESize[s]});
        return slots;
    }
    static void Add(const std::string& name, int ram, int eeprom) {
        ASSERT_EQ(AddChip(name, std::to_string(ram), std::to_string(eeprom), nullptr), TAddChip::Added) << name;
    }
};

TEST_F(ChipTableTest, TheBuiltInChips) {
    EXPECT_EQ(Table(), (std::vector<Slot>{{"MC68HC11A1", 256, 512},
                                          {"MC68HC11A8", 256, 512},
                                          {"MC68HC11A0", 256, 0},
                                          {"MC68HC11E9", 512, 512},
                                          {"MC68HC11E1", 512, 512},
                                          {"MC68HC11E0", 512, 0},
                                          {"MC68HC11D3", 192, 0}}));
}

TEST_F(ChipTableTest, AddingKeepsTheNameAsTyped) {
    Add("mc68hc11f1", 1024, 512);
    EXPECT_EQ(ChipCount, 8);
    EXPECT_EQ(Table().back(), (Slot{"mc68hc11f1", 1024, 512}));
    EXPECT_EQ(FindChipSlot("MC68HC11F1", true), 7);
    EXPECT_EQ(FindChipSlot("MC68HC11F1", false), -1);
}

TEST_F(ChipTableTest, RefusalsChangeNothing) {
    const struct {
        const char* Name;
        const char* Ram;
        const char* Eeprom;
        TAddChip Result;    // what AddChip returns
        const char* Error;  // its conversion error, empty when there is none
    } cases[] = {
        {"mc68hc11a1", "1", "1", TAddChip::Known, ""},
        {"MC68HC11D3", "1", "1", TAddChip::Known, ""},
        {"PIC16F84", "1", "1", TAddChip::NotHc11, ""},
        {"", "1", "1", TAddChip::NotHc11, ""},
        {"MC68HC11F1", "", "512", TAddChip::BadSize, "'' ni veljavno celo število"},
        {"MC68HC11F1", "1024", "", TAddChip::BadSize, "'' ni veljavno celo število"},
        {"MC68HC11F1", "1k", "512", TAddChip::BadSize, "'1k' ni veljavno celo število"},
        {"MC68HC11F1", "-1", "512", TAddChip::BadSize, "'-1' ni veljavno celo število"},
        {"MC68HC11F1", "99999999999", "512", TAddChip::BadSize, "'99999999999' ni veljavno celo število"},
    };
    const std::vector<Slot> before = Table();
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(AddChip(c.Name, c.Ram, c.Eeprom, &error), c.Result) << c.Name << " " << c.Ram << " " << c.Eeprom;
        EXPECT_EQ(error, c.Error) << c.Name << " " << c.Ram << " " << c.Eeprom;
        EXPECT_EQ(Table(), before);
    }
}

TEST_F(ChipTableTest, TheTableHoldsSixteenSlots) {
    for (int n = 0; n < ChipSlots - BuiltInChips; ++n) Add("MC68HC11X" + std::to_string(n), 100 + n, n);
    EXPECT_EQ(ChipCount, ChipSlots);
    EXPECT_EQ(AddChip("MC68HC11Y", "1", "1", nullptr), TAddChip::TableFull);
    EXPECT_EQ(ChipCount, ChipSlots);
    // A deletion makes room again.
    EXPECT_TRUE(DeleteChip(ChipSlots - 1));
    Add("MC68HC11Y", 1, 1);
}

TEST_F(ChipTableTest, DeletingMovesTheLaterSlotsDownWithTheirSizes) {
    Add("MC68HC11F1", 1024, 512);
    Add("MC68HC11K4", 768, 640);
    Add("MC68HC11L6", 512, 512);
    EXPECT_TRUE(DeleteChip(8));
    EXPECT_EQ(ChipCount, 9);
    EXPECT_EQ(Table()[7], (Slot{"MC68HC11F1", 1024, 512}));
    EXPECT_EQ(Table()[8], (Slot{"MC68HC11L6", 512, 512}));
    EXPECT_EQ(ChipNames[9], "");
    EXPECT_TRUE(DeleteChip(8));
    EXPECT_TRUE(DeleteChip(7));
    EXPECT_EQ(ChipCount, 7);
    // Built-in and unused slots stay.
    for (const int slot : {-1, 0, 5, 6, 7, 15, 16}) EXPECT_FALSE(DeleteChip(slot)) << slot;
    EXPECT_EQ(ChipCount, 7);
}

}  // namespace
}  // namespace Vantrel
