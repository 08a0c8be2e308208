// The address dialog and the programmer's boxes and gauge on real widgets.
#include "ide/Unit6.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>

#include "gui/DialogAnswers.h"
#include "ide/ProgrammerUi.h"

namespace Vantrel {
namespace {

TEST(TFormEENasloviBranje, KeyFilterUpperCaseAndFourDigits) {
    TFormEENasloviBranje dialog;
    EXPECT_EQ(dialog.windowTitle(), "EEprom v naslovnem prost... ");
    EXPECT_EQ(dialog.Label1->text(), "Začetni naslov:");
    EXPECT_EQ(dialog.EditPrviNaslov->text(), "B600");
    EXPECT_TRUE(dialog.Button1->isEnabled());
    dialog.EditPrviNaslov->clear();
    QTest::keyClicks(dialog.EditPrviNaslov, "g- b7");
    EXPECT_EQ(dialog.EditPrviNaslov->text(), "B7");
    EXPECT_FALSE(dialog.Button1->isEnabled());
    QTest::keyClicks(dialog.EditPrviNaslov, "f0e");
    EXPECT_EQ(dialog.EditPrviNaslov->text(), "B7F0");  // at most four
    EXPECT_TRUE(dialog.Button1->isEnabled());
    QTest::keyClick(dialog.EditPrviNaslov, Qt::Key_Backspace);
    EXPECT_EQ(dialog.EditPrviNaslov->text(), "B7F");
    EXPECT_FALSE(dialog.Button1->isEnabled());
    dialog.EditPrviNaslov->insert("č");  // pasted: refused as typed keys are
    EXPECT_EQ(dialog.EditPrviNaslov->text(), "B7F");
}

TEST(TFormEENasloviBranje, AskKeepsTheConfirmedAddressAndResetsOtherwise) {
    gui::TDialogAnswers answers;
    TFormEENasloviBranje dialog;
    answers.OnModal = [&](QDialog&) {
        dialog.EditPrviNaslov->setText("b7f0");
        return static_cast<int>(QDialog::Accepted);
    };
    EXPECT_EQ(dialog.AskAddress(), "B7F0");
    EXPECT_EQ(dialog.EditPrviNaslov->text().toUpper(), "B7F0");  // kept for the next erase
    answers.OnModal = [](QDialog&) { return static_cast<int>(QDialog::Rejected); };
    EXPECT_EQ(dialog.AskAddress(), std::nullopt);
    EXPECT_EQ(dialog.EditPrviNaslov->text(), "B600");
    // Three digits cannot be confirmed.
    answers.OnModal = [&](QDialog&) {
        dialog.EditPrviNaslov->setText("B60");
        return static_cast<int>(QDialog::Accepted);
    };
    EXPECT_EQ(dialog.AskAddress(), std::nullopt);
}

TEST(TProgrammerWidgets, BoxesAndGauge) {
    gui::TDialogAnswers answers;
    QWidget owner;
    QProgressBar gauge(&owner);
    TFormEENasloviBranje dialog(&owner);
    TProgrammerWidgets ui(&owner, &dialog, &gauge);
    ui.ShowMessage(ProgrammerNotFoundText, TBoxKind::Error);
    answers.BoxAnswer = QMessageBox::Cancel;
    EXPECT_FALSE(ui.Confirm(EraseQuestionText, TBoxKind::Warning));
    answers.BoxAnswer = QMessageBox::Ok;
    EXPECT_TRUE(ui.Confirm(EraseQuestionText, TBoxKind::Warning));
    EXPECT_THAT(answers.Messages(),
                ::testing::ElementsAre("NAPAKA!|Ne najdem programatorja!",
                                       "OPOZORILO!|Naj EEPROM pobrišem?\r\nPred brisanjem je potrebno mikrokontroler "
                                       "resetirati!",
                                       "OPOZORILO!|Naj EEPROM pobrišem?\r\nPred brisanjem je potrebno mikrokontroler "
                                       "resetirati!"));
    EXPECT_EQ(answers.Boxes[0].Icon, QMessageBox::Critical);
    ui.SetGauge(10, 256);
    EXPECT_EQ(gauge.maximum(), 256);
    EXPECT_EQ(gauge.value(), 10);
}

}  // namespace
}  // namespace Vantrel
