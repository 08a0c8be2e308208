// The editor windows' file commands on real files in a temporary folder.
#include "ide/Childwin.h"
#include "ide/IdeTestSupport.h"
#include "ide/Unit5.h"
#include "ide/UnitPisava.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gmock/gmock.h>

namespace Vantrel {
namespace {

class EditorTest : public IdeTest {
protected:
    TMDIChild* Open(const QString& path) {
        AnswerFileDialog(path);
        Form->FileOpen1Execute();
        return Form->ActiveEditor();
    }
};

TEST_F(EditorTest, NewNamesTheWindowAfterTheChildCountAndLoadsAFileOfThatName) {
    TMainForm& form = Start();
    form.FileNew1Execute();
    form.FileNew1Execute();
    EXPECT_EQ(form.ActiveEditor()->windowTitle(), "Neimenovana2");
    // A window of another kind counts too.
    form.AddMDIChild(new QWidget)->show();
    WriteFile("Neimenovana4", "staro besedilo\n");
    form.FileNew1Execute();
    EXPECT_EQ(form.ActiveEditor()->windowTitle(), "Neimenovana4");
    EXPECT_EQ(form.ActiveEditor()->RichEdit1->toPlainText(), "staro besedilo\n");
}

TEST_F(EditorTest, ANewWindowOpensWithAClientAreaOf379By180) {
    TMainForm& form = Start();
    form.resize(1000, 700);
    form.show();
    form.FileNew1Execute();
    const QSize client = form.ActiveEditor()->size();
    EXPECT_EQ(std::make_pair(client.width(), client.height()), std::make_pair(379, 180));
}

TEST_F(EditorTest, OpenStartsInPrimeriListsBothCasesAndTilesEvenWhenCancelled) {
    QDir(Dir.path()).mkdir("Primeri");
    TMainForm& form = Start();
    QString directory;
    QStringList filters;
    Modals.push_back([&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        directory = files.directory().absolutePath();
        filters = files.nameFilters();
        return int(QDialog::Rejected);
    });
    form.FileOpen1Execute();
    EXPECT_EQ(directory + "/", QString::fromStdString(AppDir) + "Primeri/");
    EXPECT_THAT(filters, ::testing::ElementsAre("Zbirniške datoteke (*.asm *.ASM)", "Objektne (*.s19 *.S19)",
                                                "Datoteke poročil (*.rpt *.RPT)", "Vse (*)"));
    EXPECT_EQ(form.MDIChildCount(), 0);
}

TEST_F(EditorTest, OpenLoadsTheFileUnderItsFullPath) {
    WriteFile("Primeri/utrip.asm", "* utrip\n\tLDAA #1\n");
    TMainForm& form = Start();
    TMDIChild* editor = Open(Path("Primeri/utrip.asm"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->windowTitle(), Path("Primeri/utrip.asm"));
    EXPECT_EQ(editor->RichEdit1->toPlainText(), "* utrip\n\tLDAA #1\n");
    EXPECT_FALSE(editor->Modified());
    EXPECT_TRUE(form.Timer1->isActive());
}

TEST_F(EditorTest, AFailedOpenShowsTheBoxAndLeavesNoWindow) {
    QDir(Dir.path()).mkdir("mapa.asm");
    TMainForm& form = Start();
    Open(Path("mapa.asm"));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "NAPAKA!");
    EXPECT_EQ(Boxes[0].Text, "Napaka pri odpiranju datoteke!");
    testsupport::PumpUntil([&] { return form.MDIChildCount() == 0 && !form.Timer1->isActive(); });
    EXPECT_EQ(form.MDIChildCount(), 0);
    EXPECT_FALSE(form.Timer1->isActive());
}

TEST_F(EditorTest, AWindows1250FileWithCrLfIsSavedBackByteForByte) {
    const QByteArray bytes = "* \x8Aolski primer: \xE8\x9A\x9E\r\n\tLDAA #$05\r\n";
    WriteFile("Primeri/sola.asm", bytes);
    TMainForm& form = Start();
    TMDIChild* editor = Open(Path("Primeri/sola.asm"));
    EXPECT_EQ(editor->RichEdit1->toPlainText(), "* Šolski primer: čšž\n\tLDAA #$05\n");
    editor->RichEdit1->insertPlainText(" ");
    editor->RichEdit1->textCursor().deletePreviousChar();
    QTextCursor cursor(editor->RichEdit1->document());
    cursor.deleteChar();
    cursor.insertText("*");
    EXPECT_TRUE(editor->Modified());
    form.FileSaveAsItemClick();
    EXPECT_EQ(ReadFile("Primeri/sola.asm"), bytes);
    EXPECT_FALSE(editor->Modified());
}

TEST_F(EditorTest, ACharacterWindows1250LacksKeepsTheFileAndTheChanges) {
    const QByteArray bytes = "\xE8rka\r\n";
    WriteFile("c.asm", bytes);
    TMainForm& form = Start();
    TMDIChild* editor = Open(Path("c.asm"));
    editor->RichEdit1->moveCursor(QTextCursor::End);
    editor->RichEdit1->insertPlainText("жук");
    Action(form, "Shrani1")->trigger();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_TRUE(Boxes[0].Text.startsWith("Napaka pri shranjevanju datoteke")) << Boxes[0].Text.toStdString();
    EXPECT_EQ(ReadFile("c.asm"), bytes);
    EXPECT_TRUE(editor->Modified());
}

TEST_F(EditorTest, SaveWritesADocumentOpenedElsewhereToItsOwnPath) {
    WriteFile("Primeri/zanka.asm", "primer\n");
    WriteFile("doma/zanka.asm", "moje\n");
    TMainForm& form = Start();
    TMDIChild* editor = Open(Path("doma/zanka.asm"));
    editor->RichEdit1->moveCursor(QTextCursor::End);
    editor->RichEdit1->insertPlainText("dodano\n");
    form.FileSaveAsItemClick();
    EXPECT_EQ(ReadFile("doma/zanka.asm"), "moje\ndodano\n");
    EXPECT_EQ(ReadFile("Primeri/zanka.asm"), "primer\n");
    EXPECT_EQ(editor->windowTitle(), Path("doma/zanka.asm"));
    EXPECT_EQ(SourceName, "zanka.asm");
}

TEST_F(EditorTest, ANeverSavedDocumentTakesTheSaveDialogAndItsName) {
    TMainForm& form = Start();
    form.FileNew1Execute();
    TMDIChild* editor = form.ActiveEditor();
    editor->RichEdit1->insertPlainText("NOP\nčšž");
    // Cancelled: nothing written, still modified.
    form.FileSaveAsItemClick();
    EXPECT_TRUE(editor->Modified());
    AnswerFileDialog(Path("nov"));
    form.FileSaveAsItemClick();
    EXPECT_EQ(ReadFile("nov.asm"), "NOP\nčšž");  // new files: UTF-8 with LF
    EXPECT_EQ(editor->windowTitle(), Path("nov.asm"));
    EXPECT_FALSE(editor->Modified());
}

TEST_F(EditorTest, SaveAsWritesExactlyTheChosenFileAndTakesItsName) {
    WriteFile("a.asm", "A\r\n");
    TMainForm& form = Start();
    TMDIChild* editor = Open(Path("a.asm"));
    AnswerFileDialog(Path("b.asm"));
    form.ShraniKot();
    EXPECT_EQ(ReadFile("b.asm"), "A\r\n");
    EXPECT_EQ(ReadFile("a.asm"), "A\r\n");
    EXPECT_EQ(editor->windowTitle(), Path("b.asm"));
}

TEST_F(EditorTest, SaveActsOnTheActiveEditorAfterAnotherOneWasClosed) {
    WriteFile("a.asm", "A\n");
    WriteFile("b.asm", "B\n");
    TMainForm& form = Start();
    TMDIChild* a = Open(Path("a.asm"));
    Open(Path("b.asm"));
    form.FileClose1Execute();
    testsupport::PumpUntil([&] { return form.ActiveEditor() == a; });
    ASSERT_EQ(form.ActiveEditor(), a);
    a->RichEdit1->moveCursor(QTextCursor::End);
    a->RichEdit1->insertPlainText("A2\n");
    form.FileSaveAsItemClick();
    EXPECT_EQ(ReadFile("a.asm"), "A\nA2\n");
}

TEST_F(EditorTest, SaveAsServesAnyChildWithARichEditAsAReportWindow) {
    TMainForm& form = Start();
    auto* report = new QWidget;
    auto* text = new QTextEdit(report);
    text->setPlainText("V datoteki ni odkritih napak!\n");
    report->setWindowTitle(Path("TEMP$$.RPT"));
    form.AddMDIChild(report)->show();
    AnswerFileDialog(Path("porocilo.asm"));
    form.ShraniKot();
    EXPECT_EQ(ReadFile("porocilo.asm"), "V datoteki ni odkritih napak!\n");
    EXPECT_EQ(report->windowTitle(), Path("porocilo.asm"));
}

TEST_F(EditorTest, SavingAReportWindowKeepsTheFilesLineEndsAndEncoding) {
    // As the scan writes it: Windows line ends; a character of code page 1250.
    const QByteArray bytes = "> NAPAKA V VRSTICI 1:  Nedefiniran simbol:\r\n\x8Atevec\r\n";
    WriteFile("TEMP$$.RPT", bytes);
    TMainForm& form = Start();
    TFormPorocilo* report = form.OpenReportWindow(Path("TEMP$$.RPT"));
    EXPECT_EQ(report->RichEditPorocilo->toPlainText(), "> NAPAKA V VRSTICI 1:  Nedefiniran simbol:\nŠtevec\n");
    form.FileSaveAsItemClick();
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(ReadFile("TEMP$$.RPT"), bytes);
}

TEST_F(EditorTest, CommandsWithoutAnEditorDoNothing) {
    TMainForm& form = Start();
    form.FileSaveAsItemClick();
    form.ShraniKot();
    form.Razveljavi1Click();
    form.IzberiVse1Click();
    form.ToolButton11Click();
    form.Najdi1Click();
    form.FontDialog1Apply();
    EXPECT_TRUE(Boxes.empty());
    EXPECT_TRUE(Modals.empty());
}

TEST_F(EditorTest, CloseQuestionYesDiscardsNoKeepsTheWindow) {
    TMainForm& form = Start();
    TMDIChild* editor = form.OpenEditorWindow("Neimenovana1");
    editor->RichEdit1->insertPlainText("x");
    Answers = {QMessageBox::No};
    form.FileClose1Execute();
    ServePostedEvents();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "Dokument Neimenovana1 je bil spremenjen. Spremembe zavržem?");
    EXPECT_EQ(form.MDIChildCount(), 1);
    Answers = {QMessageBox::Yes};
    form.FileClose1Execute();
    testsupport::PumpUntil([&] { return form.MDIChildCount() == 0; });
    EXPECT_EQ(form.MDIChildCount(), 0);
}

TEST_F(EditorTest, UndoWorksOnlyWhileModified) {
    WriteFile("a.asm", "A\n");
    TMainForm& form = Start();
    TMDIChild* editor = Open(Path("a.asm"));
    editor->RichEdit1->moveCursor(QTextCursor::End);
    editor->RichEdit1->insertPlainText("B");
    form.FileSaveAsItemClick();
    form.Razveljavi1Click();
    EXPECT_EQ(editor->RichEdit1->toPlainText(), "A\nB");
    editor->RichEdit1->insertPlainText("C");
    form.Razveljavi1Click();
    EXPECT_EQ(editor->RichEdit1->toPlainText(), "A\nB");
}

TEST_F(EditorTest, SelectAllCutAndPasteGoToTheEditor) {
    TMainForm& form = Start();
    TMDIChild* editor = form.OpenEditorWindow("Neimenovana1");
    form.show();
    QApplication::setActiveWindow(&form);
    editor->RichEdit1->setFocus();
    testsupport::PumpUntil([&] { return QApplication::focusWidget() == editor->RichEdit1; });
    editor->RichEdit1->setPlainText("LDAA #1");
    form.IzberiVse1Click();
    EXPECT_EQ(editor->RichEdit1->textCursor().selectedText(), "LDAA #1");
    if (QApplication::focusWidget() != editor->RichEdit1) GTEST_SKIP() << "no focus on this platform";
    form.EditCut1Execute();
    EXPECT_EQ(editor->RichEdit1->toPlainText(), "");
    form.EditPaste1Execute();
    form.EditPaste1Execute();
    EXPECT_EQ(editor->RichEdit1->toPlainText(), "LDAA #1LDAA #1");
}

TEST_F(EditorTest, FindStartsAtTheTextsStartOrAfterTheSelectionAndDoesNotWrap) {
    TMainForm& form = Start();
    TMDIChild* editor = form.OpenEditorWindow("Neimenovana1");
    editor->RichEdit1->setPlainText("ldaa #1\nLDAA #2\nstaa $10\nLdAa #3");
    // The caret at the end, nothing selected: the search starts at 0.
    editor->RichEdit1->moveCursor(QTextCursor::End);
    std::vector<int> found;
    for (int i = 0; i < 4; ++i) {
        form.FindNext("LDAA");
        const QTextCursor cursor = editor->RichEdit1->textCursor();
        found.push_back(cursor.hasSelection() ? cursor.selectionStart() : -1);
    }
    EXPECT_THAT(found, ::testing::ElementsAre(0, 8, 25, 25));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "Obvestilo");
    EXPECT_EQ(Boxes[0].Text, "Ne najdem besede \"LDAA\"");
    EXPECT_EQ(editor->RichEdit1->textCursor().selectedText(), "LdAa");
}

TEST_F(EditorTest, FindDialogShowsOnlyWithAnEditorAndSearchesItsText) {
    TMainForm& form = Start();
    Action(form, "Najdi1")->trigger();
    EXPECT_FALSE(form.FindDialog1->isVisible());
    TMDIChild* editor = form.OpenEditorWindow("Neimenovana1");
    editor->RichEdit1->setPlainText("NOP\nstart BRA start");
    Action(form, "ToolButton27")->trigger();
    EXPECT_TRUE(form.FindDialog1->isVisible());
    form.FindDialog1->SetFindText("START");
    emit form.FindDialog1->Find();
    emit form.FindDialog1->Find();
    EXPECT_EQ(editor->RichEdit1->textCursor().selectionStart(), 14);
    EXPECT_TRUE(Boxes.empty());
    form.close();
    EXPECT_FALSE(form.FindDialog1->isVisible());
}

TEST_F(EditorTest, FontApplyChangesTheSelectionOnlyAndTheSettingsLabels) {
    TMainForm& form = Start();
    form.FormPisava->show();
    EXPECT_EQ(form.FormPisava->Label6->text(), "8");
    QFont chosen(QStringLiteral("Courier New"), 14);
    form.FontDialog1->SetSelectedFont(chosen);
    // Without an editor Apply does nothing at all.
    emit form.FontDialog1->Apply();
    EXPECT_EQ(form.FormPisava->Label6->text(), "8");

    TMDIChild* editor = form.OpenEditorWindow("Neimenovana1");
    editor->RichEdit1->setPlainText("LDAA #1");
    QTextCursor cursor = editor->RichEdit1->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    editor->RichEdit1->setTextCursor(cursor);
    emit form.FontDialog1->Apply();
    EXPECT_EQ(form.FormPisava->Label6->text(), "14");
    EXPECT_EQ(form.FormPisava->Label4->text(), form.FontDialog1->SelectedFont().family());
    QTextCursor probe(editor->RichEdit1->document());
    probe.setPosition(2);
    EXPECT_EQ(probe.charFormat().font().pointSize(), 14);
    EXPECT_FALSE(probe.charFormat().font().bold());
    probe.setPosition(6);
    EXPECT_EQ(probe.charFormat().font().pixelSize(), 13);
    EXPECT_TRUE(probe.charFormat().font().bold());
}

TEST_F(EditorTest, SpremeniRunsTheFontDialogAndItsChoiceShowsAtTheNextOpening) {
    TMainForm& form = Start();
    Modals.push_back([](QDialog& dialog) {
        auto& fonts = dynamic_cast<gui::TFontDialog&>(dialog);
        fonts.SizeBox->setCurrentIndex(fonts.SizeBox->findText("12"));
        return int(QDialog::Accepted);
    });
    form.FormPisava->Button1->click();
    form.FormPisava->hide();
    form.FormPisava->show();
    EXPECT_EQ(form.FormPisava->Label6->text(), "12");
}

}  // namespace
}  // namespace Vantrel
