// The target-chip dialog driven through its widgets: choosing with OK and
// with cancel, adding and deleting types, the size boxes' key filter and
// the ini round trip of the added types.
#include "ide/Unit3.h"
#include "ide/IdeTestSupport.h"
#include "ide/UnitPisava.h"
#include "platform/ini/IniFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace Vantrel {
namespace {

class ChipDialogTest : public IdeTest {
protected:
    TForNastavProg& Dialog() { return *Form->ForNastavProg; }
    QStringList ListNames() {
        QStringList names;
        for (int i = 0; i < Dialog().ComboBox1->count(); ++i) names << Dialog().ComboBox1->itemText(i);
        return names;
    }
    // Opens the dialog, lets `act` work in it and answers with `answer`.
    void Open(const std::function<void(TForNastavProg&)>& act, int answer) {
        Modals.push_back([&, act, answer](QDialog&) {
            act(Dialog());
            return answer;
        });
        Action(*Form, "Nastavitve2")->trigger();
    }
    void Type(QLineEdit* edit, const QString& text) {
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    void AllowAdding() { Form->FormPisava->CheckBTipMK->setChecked(true); }
    void AddType(const QString& name, const QString& ram, const QString& eeprom) {
        Open(
            [&](TForNastavProg& d) {
                d.ComboBox1->setEditText(name);
                d.EditKapacRam->setText(ram);
                d.EditKapacEE->setText(eeprom);
                d.Button1->click();
            },
            QDialog::Rejected);
    }
    QStringList BoxTexts() const {
        QStringList texts;
        for (const gui::TShownBox& box : Boxes) texts << box.Caption + "|" + box.Text;
        return texts;
    }
    struct Sizes {
        QString Ram, Eeprom;
        bool operator==(const Sizes&) const = default;
    };
    Sizes Shown() { return {Dialog().EditKapacRam->text(), Dialog().EditKapacEE->text()}; }
};

TEST_F(ChipDialogTest, TheBuiltInTypesAsBuilt) {
    Start();
    TForNastavProg& d = Dialog();
    EXPECT_EQ(d.windowTitle(), "Izbira ciljnega mikrokrmilnika");
    EXPECT_EQ(ListNames(), (QStringList{"MC68HC11A1", "MC68HC11A8", "MC68HC11A0", "MC68HC11E9", "MC68HC11E1",
                                        "MC68HC11E0", "MC68HC11D3"}));
    EXPECT_EQ(d.ComboBox1->currentIndex(), 0);
    EXPECT_EQ(Shown(), (Sizes{"256", "512"}));
    EXPECT_TRUE(d.RadioBRAM->isChecked());
    EXPECT_EQ(d.Button1->text(), "Dodaj ");
    EXPECT_EQ(d.BitBtn1->text(), "PREKLIC");
    EXPECT_EQ(d.RadioBEEPROM->toolTip(), "Programiramo vgrajeni EEPROM pomnilnik");
    // Without the option the sizes come from the table only.
    Open(
        [](TForNastavProg& d) {
            EXPECT_FALSE(d.Button1->isEnabled());
            EXPECT_FALSE(d.EditKapacRam->isEnabled());
            EXPECT_FALSE(d.EditKapacEE->isEnabled());
        },
        QDialog::Rejected);
    AllowAdding();
    Open([](TForNastavProg& d) { EXPECT_TRUE(d.Button1->isEnabled() && d.EditKapacEE->isEnabled()); },
         QDialog::Rejected);
}

TEST_F(ChipDialogTest, ChoosingShowsTheSizesAndFollowsTheRadioButtons) {
    Start();
    TForNastavProg& d = Dialog();
    const struct {
        const char* Text;
        Sizes Shown;
        bool Ram, Eeprom;
    } cases[] = {
        {"MC68HC11D3", {"192", "0"}, true, false},
        {"MC68HC11E9", {"512", "512"}, true, true},
        {"mc68hc11a0", {"256", "0"}, true, false},  // typed in any case
        {"MC68HC11ZZ", {"0", "0"}, false, false},
    };
    for (const auto& c : cases) {
        d.ComboBox1->setEditText(c.Text);
        EXPECT_EQ(Shown(), c.Shown) << c.Text;
        EXPECT_EQ(d.RadioBRAM->isEnabled(), c.Ram) << c.Text;
        EXPECT_EQ(d.RadioBEEPROM->isEnabled(), c.Eeprom) << c.Text;
    }
}

TEST_F(ChipDialogTest, OkTakesTheChoiceOverAndTheNextOpeningShowsIt) {
    Start();
    Open(
        [](TForNastavProg& d) {
            d.ComboBox1->setCurrentIndex(3);
            d.RadioBEEPROM->setChecked(true);
        },
        QDialog::Accepted);
    EXPECT_EQ(ChipName, "MC68HC11E9");
    EXPECT_EQ(RamSize, 512);
    EXPECT_EQ(EepromSize, 512);
    EXPECT_EQ(MemoryKind, "EEPROM");
    Form->Timer1Timer();
    EXPECT_EQ(Form->StatusPanels[4]->text(), "EEPROM");
    EXPECT_EQ(Form->StatusPanels[5]->text(), "MC68HC11E9");
    Open(
        [&](TForNastavProg& d) {
            EXPECT_EQ(d.ComboBox1->currentIndex(), 3);
            EXPECT_EQ(Shown(), (Sizes{"512", "512"}));
            EXPECT_TRUE(d.RadioBEEPROM->isChecked());
        },
        QDialog::Rejected);
}

TEST_F(ChipDialogTest, AChipWithoutEepromMakesTheKindRam) {
    Start();
    AllowAdding();
    // "EEPROM" chosen once, then each way to a chip without EEPROM.
    const std::function<void(TForNastavProg&)> ways[] = {
        [](TForNastavProg& d) { d.ComboBox1->setCurrentIndex(6); },         // MC68HC11D3
        [](TForNastavProg& d) { d.ComboBox1->setEditText("mc68hc11a0"); },  // typed
        [](TForNastavProg& d) { d.EditKapacEE->setText("0"); },             // no EEPROM size
    };
    for (const auto& way : ways) {
        Open(
            [](TForNastavProg& d) {
                d.ComboBox1->setCurrentIndex(3);
                d.RadioBEEPROM->setChecked(true);
            },
            QDialog::Accepted);
        ASSERT_EQ(MemoryKind, "EEPROM");
        Open(
            [&](TForNastavProg& d) {
                EXPECT_TRUE(d.RadioBEEPROM->isChecked());
                way(d);
                EXPECT_FALSE(d.RadioBEEPROM->isEnabled());
                EXPECT_TRUE(d.RadioBRAM->isChecked());
            },
            QDialog::Accepted);
        EXPECT_EQ(MemoryKind, "RAM");
        EXPECT_EQ(EepromSize, 0);
    }
    EXPECT_EQ(ChipName, "MC68HC11E9");  // the last way kept the chip, not its EEPROM
}

TEST_F(ChipDialogTest, OkWithANameNotInTheTableChangesNothingAndSaysSo) {
    Start();
    Open([](TForNastavProg& d) { d.ComboBox1->setEditText("MC68HC11F1"); }, QDialog::Accepted);
    EXPECT_EQ(BoxTexts(), QStringList{"Obvestilo|Tipa mikrokrmilnika \"MC68HC11F1\" ni v tabeli: najprej ga je "
                                      "treba dodati z gumbom \"Dodaj\"!"});
    EXPECT_EQ(ChipName, "MC68HC11A1");
    EXPECT_EQ(RamSize, 256);
    EXPECT_EQ(EepromSize, 512);
    EXPECT_EQ(MemoryKind, "RAM");
    // A name of the table typed in another case is that entry.
    Boxes.clear();
    Open([](TForNastavProg& d) { d.ComboBox1->setEditText("mc68hc11e9"); }, QDialog::Accepted);
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(ChipName, "MC68HC11E9");
    EXPECT_EQ(RamSize, 512);
}

TEST_F(ChipDialogTest, OpeningFindsTheChosenNameInItsOwnCaseOnly) {
    Start();
    ChipName = "mc68hc11e9";
    Open([](TForNastavProg& d) { EXPECT_EQ(d.ComboBox1->currentIndex(), 0); }, QDialog::Rejected);
    ChipName = "MC68HC11E9";
    Open([](TForNastavProg& d) { EXPECT_EQ(d.ComboBox1->currentIndex(), 3); }, QDialog::Rejected);
}

TEST_F(ChipDialogTest, ACancelledChoiceDoesNotLeakIntoTheNextOk) {
    Start();
    Open([](TForNastavProg& d) { d.ComboBox1->setCurrentIndex(6); }, QDialog::Rejected);
    EXPECT_EQ(ChipName, "MC68HC11A1");
    EXPECT_EQ(RamSize, 256);
    // Reopened: the boxes show the sizes in force; OK keeps them.
    Open([&](TForNastavProg&) { EXPECT_EQ(Shown(), (Sizes{"256", "512"})); }, QDialog::Accepted);
    EXPECT_EQ(ChipName, "MC68HC11A1");
    EXPECT_EQ(RamSize, 256);
    EXPECT_EQ(EepromSize, 512);
    EXPECT_EQ(MemoryKind, "RAM");
}

TEST_F(ChipDialogTest, OkWithAnUnusableSizeChangesNothing) {
    Start();
    AllowAdding();
    for (const QString& ram : {QString(), QStringLiteral("12x")}) {
        Boxes.clear();
        Open(
            [&](TForNastavProg& d) {
                d.ComboBox1->setCurrentIndex(4);
                d.RadioBEEPROM->setChecked(true);
                d.EditKapacRam->setText(ram);
            },
            QDialog::Accepted);
        EXPECT_EQ(BoxTexts(), QStringList{"HC11|'" + ram + "' ni veljavno celo število"});
        EXPECT_EQ(ChipName, "MC68HC11A1");
        EXPECT_EQ(RamSize, 256);
        EXPECT_EQ(EepromSize, 512);
        EXPECT_EQ(MemoryKind, "RAM");
    }
}

TEST_F(ChipDialogTest, TheSizeBoxesTakeDigitsOnly) {
    Start();
    TForNastavProg& d = Dialog();
    d.EditKapacRam->setFocus();
    Type(d.EditKapacRam, "1a2 -3.");
    EXPECT_EQ(d.EditKapacRam->text(), "123");
    QTest::keyClick(d.EditKapacRam, Qt::Key_Backspace);
    EXPECT_EQ(d.EditKapacRam->text(), "12");
    Type(d.EditKapacEE, "0");
    EXPECT_FALSE(d.RadioBEEPROM->isEnabled());
    Type(d.EditKapacEE, "07");
    EXPECT_TRUE(d.RadioBEEPROM->isEnabled());
}

TEST_F(ChipDialogTest, AddingATypeAndItsRefusals) {
    Start();
    AllowAdding();
    AddType("mc68hc11f1", "1024", "512");
    EXPECT_EQ(ListNames().size(), 8);
    EXPECT_EQ(ListNames().last(), "mc68hc11f1");
    EXPECT_EQ(ChipCount, 8);
    EXPECT_EQ(ChipNames[7], "mc68hc11f1");
    EXPECT_EQ(ChipRamSize[7], 1024);
    EXPECT_EQ(ChipEESize[7], 512);

    // Refused without a word: a name there already in any case, or no 68HC.
    AddType("MC68HC11F1", "1", "1");
    AddType("mc68hc11a1", "1", "1");
    AddType("PIC16F84", "1", "1");
    EXPECT_TRUE(Boxes.empty());
    // Refused with the conversion error, before anything changes.
    AddType("MC68HC11K4", "", "512");
    AddType("MC68HC11K4", "768", "");
    EXPECT_EQ(BoxTexts(), (QStringList{"HC11|'' ni veljavno celo število", "HC11|'' ni veljavno celo število"}));
    EXPECT_EQ(ListNames().size(), 8);
    EXPECT_EQ(ChipCount, 8);
}

TEST_F(ChipDialogTest, AFullTableRefusesMore) {
    // Eleven added types in the ini: the table takes nine of them.
    QByteArray ini = "[chipi]\r\n";
    for (int n = 7; n < 18; ++n)
        ini += QStringLiteral("integrirc%1=MC68HC11X%1\r\nRAM%1=256\r\nEE%1=0\r\n").arg(n).toUtf8();
    WriteFile("Vantrel.ini", ini);
    Start();
    AllowAdding();
    EXPECT_EQ(ChipCount, 16);
    EXPECT_EQ(ListNames().size(), 16);
    EXPECT_EQ(ListNames().last(), "MC68HC11X15");
    AddType("MC68HC11Y", "256", "0");
    EXPECT_EQ(BoxTexts(), QStringList{"OPOZORILO!|Tabela je polna: dodati je mogoče največ 9 tipov mikrokrmilnikov!"});
    EXPECT_EQ(ListNames().size(), 16);
    EXPECT_EQ(ChipCount, 16);
}

TEST_F(ChipDialogTest, DeletingByDoubleClickKeepsListAndTableInStep) {
    Start();
    AllowAdding();
    AddType("MC68HC11F1", "1024", "512");
    AddType("MC68HC11K4", "768", "640");
    AddType("MC68HC11L6", "512", "512");
    Open(
        [&](TForNastavProg& d) {
            // A built-in type ignores the double click.
            d.ComboBox1->setCurrentIndex(5);
            QTest::mouseDClick(d.ComboBox1->lineEdit(), Qt::LeftButton);
            EXPECT_EQ(ListNames().size(), 10);
            d.ComboBox1->setCurrentIndex(8);
            QTest::mouseDClick(d.ComboBox1->lineEdit(), Qt::LeftButton);
            EXPECT_EQ(d.ComboBox1->currentIndex(), 1);
            EXPECT_EQ(Shown(), (Sizes{"256", "512"}));
            // The later type moved down with its own sizes.
            d.ComboBox1->setCurrentIndex(8);
            EXPECT_EQ(d.ComboBox1->currentText(), "MC68HC11L6");
            EXPECT_EQ(Shown(), (Sizes{"512", "512"}));
        },
        QDialog::Rejected);
    EXPECT_EQ(ChipCount, 9);
    EXPECT_EQ(ListNames().size(), 9);
    EXPECT_EQ(ChipNames[8], "MC68HC11L6");
    EXPECT_EQ(ChipRamSize[8], 512);

    // Closing saves exactly what the list shows.
    Form->close();
    IniFile ini(AppDir + "Vantrel.ini");
    EXPECT_EQ(ini.ReadString("chipi", "integrirc7", "-"), "MC68HC11F1");
    EXPECT_EQ(ini.ReadString("chipi", "integrirc8", "-"), "MC68HC11L6");
    EXPECT_EQ(ini.ReadString("chipi", "RAM8", "-"), "512");
    EXPECT_EQ(ini.ReadString("chipi", "EE8", "-"), "512");
    EXPECT_EQ(ini.ReadString("chipi", "integrirc9", "-"), "-");
}

TEST_F(ChipDialogTest, AddedTypesComeBackAtTheNextStart) {
    WriteFile("Vantrel.ini", "[chipi]\r\nintegrirc7=mc68hc11f1\r\nRAM7=1024\r\nEE7=512\r\n[vrata]\r\nser1=1\r\n");
    Start();
    EXPECT_EQ(ListNames().size(), 8);
    EXPECT_EQ(ListNames().last(), "mc68hc11f1");
    AllowAdding();
    AddType("MC68HC11K4", "768", "640");
    Form->close();
    Form.reset();
    ResetGlobals();
    Start();
    EXPECT_EQ(ListNames().mid(7), (QStringList{"mc68hc11f1", "MC68HC11K4"}));
    Dialog().ComboBox1->setCurrentIndex(8);
    EXPECT_EQ(Shown(), (Sizes{"768", "640"}));
}

TEST_F(ChipDialogTest, TheHelpButton) {
    Start();
    Open([](TForNastavProg& d) { d.BitBtn3->click(); }, QDialog::Rejected);
    ASSERT_TRUE(Help.LastCall());
    EXPECT_EQ(Help.LastCall()->Command, help::HELP_CONTENTS);
    EXPECT_EQ(Help.LastCall()->Data, 2u);
    // F1 in the dialog: its own topic.
    Open(
        [](TForNastavProg& d) {
            d.show();
            d.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
            QTest::keyClick(&d, Qt::Key_F1);
            d.hide();
        },
        QDialog::Rejected);
    EXPECT_EQ(Help.LastCall()->Command, help::HELP_CONTEXT);
    EXPECT_EQ(Help.LastCall()->Data, 2u);
}

}  // namespace
}  // namespace Vantrel
