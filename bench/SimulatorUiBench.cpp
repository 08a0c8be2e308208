// The simulator's continuous run against its 1 ms timer, with a 2,000-line
// listing in the listing window, once without tool windows and once with
// all six open: the cost of one tick and of one step (highlight, refresh and
// painting included), and the steps a real run makes per second.
#include "gui/DialogAnswers.h"
#include "simulator/Hc11.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/Main.h"
#include "simulator/ui/ToolWindow.h"
#include "simulator/ui/UnitViewSprem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>

namespace VantrelSIM {
namespace {

constexpr int ListingLines = 2000;
constexpr int AllToolWindows = 6;

QByteArray ListingLine(int number, int address, const char* code) {
    return QStringLiteral("%1 %2 %3")
               .arg(number, 4, 10, QChar('0'))
               .arg(address, 4, 16, QChar('0'))
               .toUpper()
               .toLatin1() +
           code + '\n';
}

// INX on every line but the last, which jumps back to $0000: every step
// moves the highlight and changes a register the windows show.
void WriteProgram(const QString& folder) {
    const int body = ListingLines - 1;
    QByteArray listing;
    QByteArray bytes;
    for (int i = 0; i < body; ++i) {
        listing += ListingLine(i + 1, i, "08                   INX");
        bytes += '\x08';
    }
    listing += ListingLine(ListingLines, body, "7E 00 00             JMP   $0000");
    bytes += QByteArray("\x7E\x00\x00", 3);

    QByteArray object;
    for (int address = 0; address < bytes.size(); address += 16) {
        const QByteArray chunk = bytes.mid(address, 16);
        const QByteArray record = QByteArray::number(chunk.size() + 3, 16).rightJustified(2, '0') +
                                  QByteArray::number(address, 16).rightJustified(4, '0') + chunk.toHex() + "00";
        object += "S1" + record.toUpper() + "\n";
    }
    object += "S9030000FC\n";

    QFile listingFile(folder + "/BENCH.LST");
    listingFile.open(QIODevice::WriteOnly);
    listingFile.write(listing);
    QFile objectFile(folder + "/BENCH.S19");
    objectFile.open(QIODevice::WriteOnly);
    objectFile.write(object);
}

// The main window with the benchmark listing open and reset to $0000, and
// with either no tool window or all six (ten watches defined).
struct TLoadedSimulator {
    QTemporaryDir Folder;
    gui::TDialogAnswers Dialogs;
    std::unique_ptr<TMainForm> Form;
    const bool WithToolWindows;

    explicit TLoadedSimulator(int toolWindows) : WithToolWindows(toolWindows == AllToolWindows) {
        WriteProgram(Folder.path());
        Dialogs.ChosenFile = Folder.path() + "/BENCH.LST";
        if (WithToolWindows)
            for (size_t i = 0; i < WatchTable.size(); ++i)
                WatchTable[i] = {QStringLiteral("V%1").arg(i), QStringLiteral("00%1").arg(0x10 + i, 2, 16, QChar('0')),
                                 static_cast<uint8_t>(i % 3), static_cast<uint8_t>(i % 4), 0};
        Form.reset(CreateSimulatorForms());
        Form->resize(1280, 800);
        Form->show();
        Form->FileOpen1Execute();
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
        if (!Form->ListingWindow() || Form->ListingWindow()->LineCount() < ListingLines) return "listing not loaded";
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

// One tick of a run: breakpoint test, highlight, model step, refresh, and
// the painting the run allows. A tick may catch up on steps, so the items
// are steps.
void BM_RunTick(benchmark::State& state) {
    TLoadedSimulator simulator(static_cast<int>(state.range(0)));
    if (const char* error = simulator.SetupError()) {
        state.SkipWithError(error);
        return;
    }
    TMainForm& form = *simulator.Form;
    form.Timer1->stop();  // the benchmark is the clock here
    form.ToolButton2->setChecked(true);
    TStepCounter counter(form);
    for (auto _ : state) {
        form.Timer1Timer();
        QCoreApplication::processEvents();
    }
    form.StopRun();
    state.SetItemsProcessed(counter.Steps);
}
BENCHMARK(BM_RunTick)->ArgName("tool_windows")->Arg(0)->Arg(AllToolWindows)->Unit(benchmark::kMicrosecond);

// A single step from the Step button, painted at once.
void BM_SingleStep(benchmark::State& state) {
    TLoadedSimulator simulator(static_cast<int>(state.range(0)));
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
BENCHMARK(BM_SingleStep)->ArgName("tool_windows")->Arg(0)->Arg(AllToolWindows)->Unit(benchmark::kMicrosecond);

// A real continuous run on the 1 ms timer for a second; counter
// steps_per_second.
void BM_RunOnTimer(benchmark::State& state) {
    TLoadedSimulator simulator(static_cast<int>(state.range(0)));
    if (const char* error = simulator.SetupError()) {
        state.SkipWithError(error);
        return;
    }
    TMainForm& form = *simulator.Form;
    TStepCounter counter(form);
    double seconds = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        form.StartStop1Click();
        clock.start();
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        form.StopRun();
        const double elapsed = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        seconds += elapsed;
        state.SetIterationTime(elapsed);
    }
    state.counters["steps_per_second"] = benchmark::Counter(static_cast<double>(counter.Steps) / seconds);
}
BENCHMARK(BM_RunOnTimer)
    ->ArgName("tool_windows")
    ->Arg(0)
    ->Arg(AllToolWindows)
    ->UseManualTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

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
