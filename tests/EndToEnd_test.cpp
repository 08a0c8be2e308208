// The road with real processes: examples assembled by as11m; Vantrel's
// window (in this process, on the machine's serial layer and shell) programs
// RAM, erases the EEPROM and programs it through a real Tolvex, against the
// hc11board program on a pseudo-terminal; the board's memory files must hold
// the object files' bytes.
#include "gui/DisplayWindows.h"
#include "gui/PrivateDisplay.h"
#include "ide/Childwin.h"
#include "ide/IdeTestSupport.h"
#include "ide/Programmer.h"
#include "ide/Unit2.h"
#include "ide/Unit6.h"
#include "platform/shell/PosixShellApi.h"
#include "tools/as11m/TestSupport.h"
#include "tools/board/Board.h"
#include "tools/board/BoardProcess.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <gmock/gmock.h>

#include <filesystem>

#include <signal.h>

#include "comport/ComPortTestSupport.h"
#include "tests/support/TestSupport.h"

namespace Vantrel {
namespace {

using namespace std::chrono_literals;
using testsupport::FileBytes;

// Wall time that must pass with the window served: the silence the stand-in
// takes as the reset button, or a process left alone.
void PumpFor(std::chrono::milliseconds span) {
    PumpUntil([] { return false; }, span);
}

// Assembles `source` as the assembler driver does, as TEMP$$.ASM in `folder`
// (with `org` for the first ORG's $0000 when given); the object file's text.
std::string Assemble(const std::filesystem::path& folder, const std::string& source, const std::string& org = {}) {
    std::string text = FileBytes(source);
    if (!org.empty()) text.replace(text.find("$0000"), 5, org);
    testsupport::WriteFileBytes(folder / "TEMP$$.ASM", text);
    as11m::test::RunProgram(AS11M_PATH, {"TEMP$$.ASM", "-l"}, folder);
    return FileBytes(folder / "TEMP$$.S19");
}

class EndToEnd : public IdeTest {
protected:
    EndToEnd() {
        Services.Comm = nullptr;   // the machine's serial layer
        Services.Shell = nullptr;  // real processes
        Services.Clock = nullptr;
        std::filesystem::create_symlink(TOLVEX_PATH, Work() / "Tolvex");
    }
    ~EndToEnd() override {
        Form.reset();
        ::unsetenv("VANTREL_COMPORTS");
        ::unsetenv("VANTREL_PTY_LINES_FILE");
    }
    std::filesystem::path Work() const { return Dir.Path(); }
    bool BoardSays(const std::string& text, int ms = 10000) { return Board.ReadUntil(text, ms, ServeHandOvers); }
    // hc11board on a pseudo-terminal with `options`, named to Vantrel through
    // the environment once it waits for its first $FF.
    void StartBoard(const std::vector<std::string>& options, int ms) {
        const std::string lines = (Work() / "board.lines").string();
        std::vector<std::string> args{"--lines-file", lines};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back("--quiet");
        ASSERT_TRUE(Board.Start(HC11BOARD_PATH, args));
        ASSERT_TRUE(BoardSays("waiting for $FF", ms));
        ::setenv("VANTREL_COMPORTS", Board.Value("VANTREL_COMPORTS").c_str(), 1);
        ::setenv("VANTREL_PTY_LINES_FILE", lines.c_str(), 1);
    }
    std::vector<std::string> MemoryFiles() const {
        return {"--ram-s19", (Work() / "ram.s19").string(), "--eeprom-s19", (Work() / "eeprom.s19").string()};
    }

    board::BoardProcess Board;
};

TEST_F(EndToEnd, RamEraseAndEepromThroughTolvex) {
    ASSERT_NO_FATAL_FAILURE(StartBoard(MemoryFiles(), 5000));

    TMainForm& form = Start();
    ASSERT_TRUE(PumpUntil([] { return ProgrammerFound == 1; }, 3000ms));

    // RAM: an example as the students have it.
    const std::string ramObject = Assemble(Work(), EXAMPLES_DIR "/utripanje.asm");
    ASSERT_NE(ramObject.find("S1"), std::string::npos);
    ObjectName = "TEMP$$.S19";
    MemoryKind = "RAM";
    form.ToolButton16Click();
    ASSERT_TRUE(BoardSays("bootstrap of 256 bytes: user program")) << Board.Output;
    std::vector<uint8_t> expectedRam(256, 0xFF), ram(256, 0x00);
    std::string error;
    ASSERT_TRUE(board::S19ToMemory(ramObject, 0, expectedRam, &error)) << error;
    ASSERT_TRUE(board::S19ToMemory(FileBytes(Work() / "ram.s19"), 0, ram, &error)) << error;
    EXPECT_EQ(ram, expectedRam);

    // Erase, after the silence the stand-in takes as the reset button.
    PumpFor(1300ms);
    form.EEPROMbrii1Click();  // the address dialog cancelled: B600
    ASSERT_TRUE(BoardSays("EEPROM erased")) << Board.Output;

    // EEPROM through Tolvex.
    PumpFor(1300ms);
    const std::string object = Assemble(Work(), EXAMPLES_DIR "/zanka.asm", "$B600");
    const int records = static_cast<int>(std::count(object.begin(), object.end(), '\n')) - 1;  // S1 lines and S9
    ASSERT_GT(records, 0) << object;
    MemoryKind = "EEPROM";
    form.ToolButton16Click();
    EXPECT_EQ(PortOpen, 0);
    ASSERT_TRUE(BoardSays("bootstrap of 256 bytes: EEPROM talker")) << Board.Output;
    ASSERT_TRUE(BoardSays("record " + std::to_string(records) + ":", 20000)) << Board.Output << object;
    // Tolvex ends by itself; the next activation takes the port back.
    ASSERT_TRUE(PumpUntil([&] { return form.Downloader.MayReopenPort(form.Shell); }, 10000ms));
    form.FormActivate();
    EXPECT_EQ(PortOpen, 1);
    EXPECT_TRUE(form.ComPort1.Connected());

    EXPECT_EQ(Board.Stop(ServeHandOvers), 0);
    // The board's EEPROM file leaves erased bytes out.
    std::vector<uint8_t> expected(512, 0xFF), eeprom(512, 0xFF);
    ASSERT_TRUE(board::S19ToMemory(object, 0xB600, expected, &error)) << error;
    ASSERT_TRUE(board::S19ToMemory(FileBytes(Work() / "eeprom.s19"), 0xB600, eeprom, &error)) << error;
    EXPECT_EQ(eeprom, expected);
    ASSERT_TRUE(board::S19ToMemory(FileBytes(Work() / "ram.s19"), 0, ram, &error)) << error;
    EXPECT_EQ(ram[0x26], 0x8E);  // the talker, the last program the board ran
    EXPECT_NE(expected, std::vector<uint8_t>(512, 0xFF));
    for (const QString& message : Dialogs.Messages())
        EXPECT_TRUE(message.startsWith("OPOZORILO!|")) << message.toStdString();
}

// A Tolvex that cannot open the port shows why; once its box is closed it
// ends (with a failure), and the next activation gives Vantrel its port back.
TEST_F(EndToEnd, ATolvexWithoutItsPortEndsAndTheActivationReopensThePort) {
    gui::TPrivateDisplay display;  // where Tolvex's box can be closed
    QString err;
    ASSERT_TRUE(display.Start(&err)) << err.toStdString();
    ASSERT_NO_FATAL_FAILURE(StartBoard({}, 5000));
    const std::string comPorts = Board.Value("VANTREL_COMPORTS");
    TMainForm& form = Start();
    ASSERT_TRUE(PumpUntil([] { return ProgrammerFound == 1; }, 3000ms));
    ASSERT_NE(Assemble(Work(), EXAMPLES_DIR "/zanka.asm", "$B600").find("S1"), std::string::npos);
    ObjectName = "TEMP$$.S19";
    MemoryKind = "EEPROM";

    // Tolvex, started with these, finds no COM2 and shows its box on the display.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    ::setenv("VANTREL_COMPORTS", ("COM2=" + (Work() / "no-such-device").string()).c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    form.ToolButton16Click();
    ::setenv("VANTREL_COMPORTS", comPorts.c_str(), 1);
    qputenv("QT_QPA_PLATFORM", platform);
    ASSERT_TRUE(BoardSays("bootstrap of 256 bytes: EEPROM talker")) << Board.Output;
    EXPECT_EQ(PortOpen, 0);

    ASSERT_TRUE(gui::CloseWindowByCaption("Tolvex", 20000, ServeHandOvers));
    ASSERT_TRUE(PumpUntil([&] { return form.Downloader.MayReopenPort(form.Shell); }, 10000ms))
        << "Tolvex sits there after its box";
    form.FormActivate();
    EXPECT_EQ(PortOpen, 1);
    EXPECT_TRUE(form.ComPort1.Connected());
}

// The machine's shell layer, remembering what it started.
class WatchedShell : public shell::ShellApi {
public:
    shell::StartResult ShellExecute(const std::string& file, const std::string& parameters,
                                    const std::string& directory, shell::ShowCommand show) override {
        shell::StartResult result = Real.ShellExecute(file, parameters, directory, show);
        if (result.Started()) Started.emplace_back(std::filesystem::path(file).filename().string(), result.Process);
        return result;
    }
    bool IsRunning(shell::ProcessHandle process) override { return Real.IsRunning(process); }
    shell::ProcessHandle Find(const std::string& name) const {
        for (const auto& [file, process] : Started)
            if (file == name) return process;
        return 0;
    }

    shell::PosixShellApi Real;
    std::vector<std::pair<std::string, shell::ProcessHandle>> Started;
};

// Edit, assemble, simulate, RAM, erase and EEPROM, each through Vantrel's own
// command, in a working folder laid out as scripts/run lays it out.
TEST_F(EndToEnd, TheWholeRoadThroughVantrelsCommands) {
    std::filesystem::create_symlink(AS11M_PATH, Work() / "as11m");
    std::filesystem::create_symlink(VANTRELSIM_PATH, Work() / "VantrelSIM");
    std::filesystem::create_directory(Work() / "Primeri");
    std::filesystem::copy_file(EXAMPLES_DIR "/zanka.asm", Work() / "Primeri" / "zanka.asm");
    ASSERT_NO_FATAL_FAILURE(StartBoard(MemoryFiles(), 10000));
    WatchedShell shell;
    Services.Shell = &shell;
    TMainForm& form = Start();
    ASSERT_TRUE(PumpUntil([] { return ProgrammerFound == 1; }, 10000ms));

    // Open the example, assemble it as it stands (ORG $0000).
    AnswerFileDialog(QString::fromStdString((Work() / "Primeri" / "zanka.asm").string()));
    Action(form, "FileOpenItem")->trigger();
    TMDIChild* editor = form.ActiveEditor();
    ASSERT_NE(editor, nullptr);
    const auto assemble = [&] {
        Action(form, "ToolButton15")->trigger();
        EXPECT_EQ(form.Form2->RichEdit1->toPlainText().section('\n', 0, 0), "V datoteki ni odkritih napak!");
        EXPECT_TRUE(Action(form, "ToolButton16")->isEnabled());
        return FileBytes(Work() / "TEMP$$.S19");
    };
    const std::string ramObject = assemble();
    ASSERT_NE(ramObject.find("S1"), std::string::npos);

    // The simulator starts, a real process; it has no command line, so it is ended here.
    Action(form, "ToolButton28")->trigger();
    const shell::ProcessHandle simulator = shell.Find("VantrelSIM.EXE");
    ASSERT_NE(simulator, 0u);
    const int pid = shell.Real.ProcessId(simulator);
    ASSERT_GT(pid, 0);
    EXPECT_EQ(std::filesystem::canonical("/proc/" + std::to_string(pid) + "/exe"),
              std::filesystem::canonical(VANTRELSIM_PATH));
    PumpFor(500ms);
    EXPECT_TRUE(shell.IsRunning(simulator)) << "the simulator ended by itself";
    ::kill(pid, SIGTERM);
    EXPECT_TRUE(PumpUntil([&] { return !shell.IsRunning(simulator); }, 20000ms));

    // RAM.
    MemoryKind = "RAM";
    Action(form, "ToolButton16")->trigger();
    ASSERT_TRUE(BoardSays("bootstrap of 256 bytes: user program", 20000)) << Board.Output;
    std::string error;
    std::vector<uint8_t> expectedRam(256, 0xFF), ram(256, 0x00);
    ASSERT_TRUE(board::S19ToMemory(ramObject, 0, expectedRam, &error)) << error;
    ASSERT_TRUE(board::S19ToMemory(FileBytes(Work() / "ram.s19"), 0, ram, &error)) << error;
    EXPECT_EQ(ram, expectedRam);

    // Edit: the same program, now for the EEPROM; assemble it again.
    QTextCursor cursor = editor->RichEdit1->document()->find("$0000");
    ASSERT_FALSE(cursor.isNull());
    cursor.insertText("$B600");
    editor->RichEdit1->setFocus();
    const std::string object = assemble();
    ASSERT_NE(object.find("S1"), std::string::npos);
    const int records = static_cast<int>(std::count(object.begin(), object.end(), '\n')) - 1;  // S1 lines and S9

    // Erase, after the silence the stand-in takes as the reset button.
    PumpFor(1300ms);
    Action(form, "EEPROMbrii1")->trigger();  // the address dialog cancelled: B600
    ASSERT_TRUE(BoardSays("EEPROM erased", 20000)) << Board.Output;

    // EEPROM through Tolvex, which ends by itself.
    PumpFor(1300ms);
    MemoryKind = "EEPROM";
    Action(form, "ToolButton16")->trigger();
    EXPECT_EQ(PortOpen, 0);
    ASSERT_TRUE(BoardSays("bootstrap of 256 bytes: EEPROM talker", 20000)) << Board.Output;
    ASSERT_TRUE(BoardSays("record " + std::to_string(records) + ":", 60000)) << Board.Output << object;
    ASSERT_NE(shell.Find(DownloaderProgram), 0u);
    ASSERT_TRUE(PumpUntil([&] { return form.Downloader.MayReopenPort(form.Shell); }, 30000ms));

    EXPECT_EQ(Board.Stop(ServeHandOvers), 0);
    std::vector<uint8_t> expected(512, 0xFF), eeprom(512, 0xFF);
    ASSERT_TRUE(board::S19ToMemory(object, 0xB600, expected, &error)) << error;
    ASSERT_TRUE(board::S19ToMemory(FileBytes(Work() / "eeprom.s19"), 0xB600, eeprom, &error)) << error;
    EXPECT_NE(expected, std::vector<uint8_t>(512, 0xFF));
    EXPECT_EQ(eeprom, expected);
    for (const QString& message : Dialogs.Messages())
        EXPECT_TRUE(message.startsWith("OPOZORILO!|")) << message.toStdString();
}

}  // namespace
}  // namespace Vantrel
