// Printing, help and program starts of the main window, on the fakes and on
// the real printer (into a PDF), help window and processes.
#include "ide/Childwin.h"
#include "ide/IdeTestSupport.h"
#include "ide/PrintLayout.h"
#include "platform/help/QtHelpApi.h"
#include "platform/print/QtPrintApi.h"
#include "platform/shell/PosixShellApi.h"

#include <QMdiArea>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>

#include <gmock/gmock.h>

#include <filesystem>
#include <sstream>

using ::testing::ElementsAre;

namespace Vantrel {
namespace {

using ServicesTest = IdeTest;

TMDIChild* EditorWithLines(TMainForm& form, const QString& caption, int count) {
    TMDIChild* editor = form.OpenEditorWindow(caption);
    QStringList lines;
    for (int i = 1; i <= count; ++i) lines << QStringLiteral("vrstica %1").arg(i);
    editor->RichEdit1->setPlainText(lines.join('\n') + '\n');
    return editor;
}

TEST_F(ServicesTest, TheRealServicesStandInForTheOnesNotGiven) {
    Services = TServices{&Api};
    TMainForm& form = Start();
    EXPECT_EQ(&form.Shell, &shell::DefaultShellApi());
    EXPECT_EQ(&form.Clock, &timing::DefaultClock());
    EXPECT_NE(dynamic_cast<help::QtHelpApi*>(&form.Help), nullptr);
    EXPECT_NE(dynamic_cast<printing::QtPrintApi*>(&form.Printer), nullptr);
}

// ------------------------------------------------------------------ print

TEST_F(ServicesTest, PrintLaysOutHeadersAndPageBreaksFromThePrintersPage) {
    Printer.SetPageSize({1000, 100});  // 10 lines: 8 of text a page
    TMainForm& form = Start();
    EditorWithLines(form, "Neimenovana1", 17);
    Action(form, "Tiskaj1")->trigger();
    ASSERT_EQ(Printer.Jobs().size(), 1u);
    const auto job = Printer.Jobs()[0];
    EXPECT_EQ(job.Title, "Neimenovana1");
    ASSERT_EQ(job.Pages.size(), 3u);
    EXPECT_EQ(job.Pages[0][0], std::string(23, ' ') + "Neimenovana1St.1");
    EXPECT_EQ(job.Pages[0][1], std::string(40, '-'));
    EXPECT_EQ(job.Pages[0].size(), 10u);
    EXPECT_EQ(job.Pages[1][2], "vrstica 9");
    EXPECT_THAT(job.Pages[2], ElementsAre(PageHeader("Neimenovana1", 3)[0], std::string(40, '-'), "vrstica 17"));
    EXPECT_EQ(Printer.FontsAsked().size(), 1u);
}

TEST_F(ServicesTest, PrintCancelledAtSetUpPrintsNothingAndAFailureIsReported) {
    TMainForm& form = Start();
    EditorWithLines(form, "a.asm", 3);
    Printer.SetSetupAnswer(false);
    form.ToolButton11Click();
    EXPECT_TRUE(Printer.Jobs().empty());
    EXPECT_TRUE(Boxes.empty());
    Printer.SetSetupAnswer(true);
    Printer.FailNextJob("papir");
    form.ToolButton11Click();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "NAPAKA!");
    EXPECT_EQ(Boxes[0].Text, "Napaka pri komunikaciji s tiskalnikom!");
}

int PdfPageCount(const QByteArray& pdf) {
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
        if (pdf.mid(at + 11, 1) != "s") ++pages;
    return pages;
}

TEST_F(ServicesTest, PrintToAPdfFileGivesOneSheetPerPage) {
    printing::QtPrintApi pdf;
    const QString file = Path("izpis.pdf");
    pdf.SetOutputFileName(file.toStdString());
    bool setUp = false;
    pdf.SetSetupDialog([&](QPrinter&) { return setUp = true; });
    Services.Print = &pdf;
    TMainForm& form = Start();
    const int perPage = pdf.PageSizeFor({}).LinesPerPage() - 2;
    ASSERT_GT(perPage, 10);
    EditorWithLines(form, "dolg.asm", perPage + 5);
    form.ToolButton11Click();
    EXPECT_TRUE(setUp);
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(PdfPageCount(ReadFile("izpis.pdf")), 2);
    // And a look at the first sheet: the header sits in its top rows.
    std::vector<std::string> lines;
    for (int i = 1; i <= perPage + 5; ++i) lines.push_back("vrstica " + std::to_string(i));
    const QImage sheet = pdf.PreviewPage({}, PaginateForPrint("dolg.asm", lines, perPage + 2)[0], 72);
    if (const QString folder = qEnvironmentVariable("VANTREL_SCREENSHOTS"); !folder.isEmpty())
        sheet.save(folder + "/print-page.png");
    bool inkAtTop = false;
    for (int y = 0; y < sheet.height() / 8 && !inkAtTop; ++y)
        for (int x = 0; x < sheet.width() && !inkAtTop; ++x) inkAtTop = qGray(sheet.pixel(x, y)) < 100;
    EXPECT_TRUE(inkAtTop);
}

// ------------------------------------------------------------------- help

TEST_F(ServicesTest, HelpContentsAndQuitGoToThePomocFolder) {
    TMainForm& form = Start();
    Action(form, "Vsebina1")->trigger();
    Action(form, "ToolButton21")->trigger();
    ASSERT_EQ(Help.Calls().size(), 2u);
    EXPECT_EQ(Help.Calls()[0].HelpFile, AppDir + "Pomoc/VantrelHELP.hlp");
    EXPECT_EQ(Help.Calls()[0].Command, help::HELP_CONTENTS);
    EXPECT_EQ(Help.Calls()[0].Data, 1u);
    EXPECT_TRUE(Help.IsOpen());
    EXPECT_TRUE(form.close());
    EXPECT_EQ(Help.LastCall()->Command, help::HELP_QUIT);
    EXPECT_FALSE(Help.IsOpen());
}

TEST_F(ServicesTest, F1ShowsTheEditorsPageOrTheContents) {
    TMainForm& form = Start();
    form.ContextHelp();
    form.FileNew1Execute();
    form.ContextHelp();
    ASSERT_EQ(Help.Calls().size(), 2u);
    EXPECT_EQ(Help.Calls()[0].Command, help::HELP_CONTENTS);
    EXPECT_EQ(Help.Calls()[1].Command, help::HELP_CONTEXT);
    EXPECT_EQ(Help.Calls()[1].Data, 1u);
    EXPECT_TRUE(Help.ShownPage().ends_with("Pomoc/1.html")) << Help.ShownPage();
}

TEST_F(ServicesTest, RealHelpShowsTheContentsPageOrNamesTheMissingFile) {
    help::QtHelpApi window;
    Services.Help = &window;
    TMainForm& form = Start();
    form.Vsebina1Click();
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "Obvestilo");
    EXPECT_EQ(Boxes[0].Text, QString::fromStdString(help::MissingPageMessage(AppDir + "Pomoc/index.html")));

    // The pages the program ships.
    std::filesystem::copy(VANTREL_HELP_DIR, Path("Pomoc").toStdString());
    form.Vsebina1Click();
    EXPECT_EQ(Boxes.size(), 1u);
    ASSERT_NE(window.Window(), nullptr);
    EXPECT_TRUE(window.Window()->toPlainText().contains(QStringLiteral("Urejevalnik in glavno okno")));
    for (unsigned context : {1u, 2u, 3u}) {
        std::string error;
        EXPECT_TRUE(window.WinHelp(form.HelpFile, help::HELP_CONTEXT, context, &error)) << error;
    }
    if (const QString folder = qEnvironmentVariable("VANTREL_SCREENSHOTS"); !folder.isEmpty()) {
        window.Window()->resize(640, 480);
        window.Window()->grab().save(folder + "/help.png");
    }
    form.close();
    EXPECT_FALSE(window.Window() && window.Window()->isVisible());
}

// ------------------------------------------------------------------ shell

// The probe writes its file whole, under its name at the end.
std::vector<std::string> ProbeOutput(const std::filesystem::path& folder) {
    const auto file = folder / "probe-out.txt";
    testsupport::WaitUntil([&] { return std::filesystem::exists(file); });
    std::istringstream in(testsupport::FileBytes(file));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST_F(ServicesTest, TheAsmBatLinePassesDollarsToTheRealProgramUntouched) {
    shell::PosixShellApi real;
    Services.Shell = &real;
    std::filesystem::copy_file(SHELL_PROBE, Path("as11m").toStdString());
    TMainForm& form = Start();
    EXPECT_TRUE(form.ShellOpen(AppDir + "asm.bat", "TEMP$$.ASM", shell::SW_HIDE));
    const auto lines = ProbeOutput(Dir.Path());
    ASSERT_GE(lines.size(), 5u);
    EXPECT_THAT(std::vector<std::string>(lines.begin() + 3, lines.end()), ElementsAre("TEMP$$.ASM", "-l"));
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(ServicesTest, AFailedStartShowsABoxNamingTheProgram) {
    shell::PosixShellApi real;
    Services.Shell = &real;
    TMainForm& form = Start();
    EXPECT_FALSE(form.ShellOpen(AppDir + "VantrelSIM.EXE", "", shell::SW_HIDE));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "NAPAKA!");
    EXPECT_TRUE(Boxes[0].Text.contains("VantrelSIM")) << Boxes[0].Text.toStdString();
    // The fake says the same.
    Services.Shell = &Shell;
    Form.reset();
    TMainForm& again = Start();
    EXPECT_FALSE(again.ShellOpen("Tolvex.exe", "TEMP$$.S19 2 512", shell::SW_SHOWNORMAL));
    EXPECT_TRUE(Boxes.back().Text.startsWith("Ne najdem programa \"Tolvex")) << Boxes.back().Text.toStdString();
}

}  // namespace
}  // namespace Vantrel
