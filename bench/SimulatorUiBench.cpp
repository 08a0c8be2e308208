// The simulator's continuous run against its 1 ms timer, once with the
// largest example program and once with a 20,000-line listing, each without
// tool windows and with all six open: the cost of one tick and of one step
// (highlight, refresh and painting included), the steps a real run makes
// per second with the share of a core it takes, and the share a stopped
// simulator with a listing loaded takes.
//
// cpu_share is the process's CPU time over the wall time of the measured
// second, painting included (offscreen by default; QT_QPA_PLATFORM=xcb
// under Xvfb paints to a real X server).
#include "gui/DialogAnswers.h"
#include "gui/MdiFrame.h"
#include "simulator/Hc11.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/Main.h"
#include "simulator/ui/ToolWindow.h"
#include "simulator/ui/UnitViewSprem.h"
#include "tools/as11m/Assembler.h"
#include "tools/as11m/Output.h"
#include "tools/as11m/SourceText.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

namespace VantrelSIM {
namespace {

constexpr int AllToolWindows = 6;
constexpr int LongListingLines = 20000;

enum TProgram { LargestExample = 0, LongListing = 1 };

QByteArray ListingLine(int number, int address, const char* code) {
    return QStringLiteral("%1 %2 %3")
               .arg(number, 4, 10, QChar('0'))
               .arg(address, 4, 16, QChar('0'))
               .toUpper()
               .toLatin1() +
           code + '\n';
}

QByteArray SRecords(uint16_t origin, const QByteArray& bytes) {
    QByteArray object;
    for (int offset = 0; offset < bytes.size(); offset += 16) {
        const QByteArray chunk = bytes.mid(offset, 16);
        const QByteArray record = QByteArray::number(chunk.size() + 3, 16).rightJustified(2, '0') +
                                  QByteArray::number(origin + offset, 16).rightJustified(4, '0') + chunk.toHex() + "00";
        object += "S1" + record.toUpper() + "\n";
    }
    return object + "S9030000FC\n";
}

bool WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// 20,000 lines from $2000: LDS, then INX on most lines with a PSHA/PULA
// pair every fifty (the stack window's rows come and go), and a jump back.
// Every step moves the highlight and changes a register the windows show.
bool WriteLongListing(const QString& folder) {
    constexpr int origin = 0x2000;
    QByteArray listing = ListingLine(1, origin, "8E 00 FF             LDS   #$00FF");
    QByteArray bytes("\x8E\x00\xFF", 3);
    for (int line = 2; line < LongListingLines; ++line) {
        const int address = origin + static_cast<int>(bytes.size());
        if (line % 50 == 0) {
            listing += ListingLine(line, address, "36                   PSHA");
            bytes += '\x36';
        } else if (line % 50 == 1 && line > 2) {
            listing += ListingLine(line, address, "32                   PULA");
            bytes += '\x32';
        } else {
            listing += ListingLine(line, address, "08                   INX");
            bytes += '\x08';
        }
    }
    listing +=
        ListingLine(LongListingLines, origin + static_cast<int>(bytes.size()), "7E 20 03             JMP   $2003");
    bytes += QByteArray("\x7E\x20\x03", 3);
    return WriteFile(folder + "/BENCH.LST", listing) && WriteFile(folder + "/BENCH.S19", SRecords(origin, bytes));
}

// The example with the most lines, assembled as the editor would.
bool WriteLargestExample(const QString& folder) {
    QString largest;
    qsizetype most = -1;
    for (const QFileInfo& file : QDir(QStringLiteral(EXAMPLES_DIR)).entryInfoList({QStringLiteral("*.asm")})) {
        QFile source(file.filePath());
        if (!source.open(QIODevice::ReadOnly)) continue;
        const qsizetype lines = source.readAll().count('\n');
        if (lines > most) {
            most = lines;
            largest = file.filePath();
        }
    }
    QFile source(largest);
    if (largest.isEmpty() || !source.open(QIODevice::ReadOnly)) return false;
    const std::string text = as11m::DecodeSource(source.readAll().toStdString());
    const as11m::Assembly assembly = as11m::Assemble(as11m::SplitLines(text));
    if (assembly.ErrorCount() != 0) return false;
    const std::string listing = as11m::FormatListing(assembly, "BENCH.ASM", {});
    const std::string object = as11m::FormatSRecords(assembly);
    return WriteFile(folder + "/BENCH.LST", QByteArray::fromStdString(listing)) &&
           WriteFile(folder + "/BENCH.S19", QByteArray::fromStdString(object));
}

// The main window with the benchmark listing open and reset to $0000
// ($2000 for the long listing: run from the cursor on its first line), and
// with either no tool window or all six (ten watches defined).
struct TLoadedSimulator {
    QTemporaryDir Folder;
    gui::TDialogAnswers Dialogs;
    std::unique_ptr<TMainForm> Form;
    const TProgram Program;
    const bool WithToolWindows;
    bool Written = false;

    TLoadedSimulator(int program, int toolWindows)
        : Program(static_cast<TProgram>(program)), WithToolWindows(toolWindows == AllToolWindows) {
        Written = Program == LongListing ? WriteLongListing(Folder.path()) : WriteLargestExample(Folder.path());
        Dialogs.ChosenFile = Folder.path() + "/BENCH.LST";
        if (WithToolWindows)
            for (size_t i = 0; i < WatchTable.size(); ++i)
                WatchTable[i] = {QStringLiteral("V%1").arg(i), QStringLiteral("00%1").arg(0x10 + i, 2, 16, QChar('0')),
                                 static_cast<uint8_t>(i % 3), static_cast<uint8_t>(i % 4), 0};
        Form.reset(CreateSimulatorForms());
        Form->resize(1280, 800);
        Form->show();
        Form->FileOpen1Execute();
        if (Program == LongListing && Form->ListingWindow()) CpuRegs.PC = 0x2000;
        if (WithToolWindows)
            for (const TToolWindowKind& kind : ToolWindowTable) (*Form.*kind.OpenHandler)();
        QCoreApplication::processEvents();
    }
    ~TLoadedSimulator() {
        if (Form->ListingWindow()) Form->ListingWindow()->Modified = false;
        Form.reset();
        WatchTable = {};
    }
    // Empty when the simulator is set up as the benchmark needs.
    const char* SetupError() const {
        if (!Written) return "program not written";
        const int lines = Program == LongListing ? LongListingLines : 20;
        if (!Form->ListingWindow() || Form->ListingWindow()->LineCount() < lines) return "listing not loaded";
        if (Form->OpenWindowList.size() != (WithToolWindows ? AllToolWindows : 0)) return "tool windows missing";
        return nullptr;
    }
};

// Counts the steps the main window reports while it lives.
struct TStepCounter {
    int64_t Steps = 0;
    QMetaObject::Connection Connection;
    explicit TStepCounter(TMainForm& form)
        : Connection(QObject::connect(&form, &TMainForm::StepDone, [this] { ++Steps; })) {}
    ~TStepCounter() { QObject::disconnect(Connection); }
};

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Runs the event loop for `ms` milliseconds; returns the wall seconds and
// adds the process's CPU seconds to `cpu`.
double RunEventLoop(int ms, double& cpu) {
    QElapsedTimer clock;
    const double cpuBefore = ProcessCpuSeconds();
    clock.start();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    cpu += ProcessCpuSeconds() - cpuBefore;
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

void Arguments(benchmark::internal::Benchmark* bench) {
    bench->ArgNames({"long_listing", "tool_windows"});
    for (int program : {LargestExample, LongListing})
        for (int windows : {0, AllToolWindows}) bench->Args({program, windows});
}

// One tick of a run: breakpoint test, highlight, model step, refresh, and
// the painting the run allows. A tick may catch up on steps, so the items
// are steps.
void BM_RunTick(benchmark::State& state) {
    TLoadedSimulator simulator(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    if (const char* error = simulator.SetupError()) {
        state.SkipWithError(error);
        return;
    }
    TMainForm& form = *simulator.Form;
    form.Timer1->stop();  // the benchmark is the clock here
    gui::Component(form, "ToolButton2")->setChecked(true);
    TStepCounter counter(form);
    for (auto _ : state) {
        form.Timer1Timer();
        QCoreApplication::processEvents();
    }
    form.StopRun();
    state.SetItemsProcessed(counter.Steps);
}
BENCHMARK(BM_RunTick)->Apply(Arguments)->Unit(benchmark::kMicrosecond);

// A single step from the Step button, painted at once.
void BM_SingleStep(benchmark::State& state) {
    TLoadedSimulator simulator(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    if (const char* error = simulator.SetupError()) {
        state.SkipWithError(error);
        return;
    }
    for (auto _ : state) {
        simulator.Form->ToolButton15Click();
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SingleStep)->Apply(Arguments)->Unit(benchmark::kMicrosecond);

// A real continuous run on the 1 ms timer for a second; counters
// steps_per_second and cpu_share (of one core).
void BM_RunOnTimer(benchmark::State& state) {
    TLoadedSimulator simulator(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    if (const char* error = simulator.SetupError()) {
        state.SkipWithError(error);
        return;
    }
    TMainForm& form = *simulator.Form;
    TStepCounter counter(form);
    double seconds = 0;
    double cpu = 0;
    for (auto _ : state) {
        form.StartStop1Click();
        const double elapsed = RunEventLoop(1000, cpu);
        form.StopRun();
        seconds += elapsed;
        state.SetIterationTime(elapsed);
    }
    state.counters["steps_per_second"] = benchmark::Counter(static_cast<double>(counter.Steps) / seconds);
    state.counters["cpu_share"] = benchmark::Counter(cpu / seconds);
}
BENCHMARK(BM_RunOnTimer)->Apply(Arguments)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

// The simulator stopped with the listing loaded, for a second: counter
// cpu_share (of one core).
void BM_Stopped(benchmark::State& state) {
    TLoadedSimulator simulator(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    if (const char* error = simulator.SetupError()) {
        state.SkipWithError(error);
        return;
    }
    TStepCounter counter(*simulator.Form);
    double seconds = 0;
    double cpu = 0;
    double settling = 0;
    RunEventLoop(300, settling);  // the windows' first paints are not the stopped state
    for (auto _ : state) {
        const double elapsed = RunEventLoop(1000, cpu);
        seconds += elapsed;
        state.SetIterationTime(elapsed);
    }
    if (counter.Steps != 0) state.SkipWithError("a stopped simulator stepped");
    state.counters["cpu_share"] = benchmark::Counter(cpu / seconds);
}
BENCHMARK(BM_Stopped)->Apply(Arguments)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace VantrelSIM

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
