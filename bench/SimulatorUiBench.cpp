// The simulator's continuous run against its 1 ms timer, with a 2,000-line
// listing in the listing window: the cost of one step (highlight included)
// and the steps a real run makes per second.
#include "simulator/Hc11.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/Main.h"
#include "simulator/ui/UiDialogs.h"
#include "simulator/ui/UnitResetVekt.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr int ListingLines = 2000;

// A loop of NOPs closed by a JMP back to $0000, one instruction per line.
void WriteProgram(const QString& folder) {
    QByteArray listing;
    QByteArray object;
    const int nops = ListingLines - 3;
    listing += "0001 0000                      ORG   $0000\n";
    for (int i = 0; i < nops; ++i)
        listing += QStringLiteral("%1 %2 01                   NOP\n")
                       .arg(i + 2, 4, 10, QChar('0'))
                       .arg(i, 4, 16, QChar('0'))
                       .toUpper()
                       .toLatin1();
    listing += QStringLiteral("%1 %2 7E 00 00             JMP   $0000\n")
                   .arg(ListingLines - 1, 4, 10, QChar('0'))
                   .arg(nops, 4, 16, QChar('0'))
                   .toUpper()
                   .toLatin1();
    listing += QStringLiteral("%1                           END\n").arg(ListingLines, 4, 10, QChar('0')).toLatin1();

    QByteArray bytes(nops, '\x01');
    bytes += QByteArray("\x7E\x00\x00", 3);
    for (int address = 0; address < bytes.size(); address += 16) {
        const QByteArray chunk = bytes.mid(address, 16);
        QByteArray record = QByteArray::number(chunk.size() + 3, 16).rightJustified(2, '0') +
                            QByteArray::number(address, 16).rightJustified(4, '0') + chunk.toHex() + "00";
        object += "S1" + record.toUpper() + "\n";
    }
    object += "S9030000FC\n";
    QFile l(folder + "/BENCH.LST");
    l.open(QIODevice::WriteOnly);
    l.write(listing);
    QFile o(folder + "/BENCH.S19");
    o.open(QIODevice::WriteOnly);
    o.write(object);
}

// The main window with the benchmark listing open and reset to $0000.
struct TLoadedSimulator {
    QTemporaryDir Folder;
    std::unique_ptr<TMainForm> Form;

    TLoadedSimulator() {
        WriteProgram(Folder.path());
        DialogHooks.Modal = [this](QDialog& dialog) -> int {
            if (auto* files = qobject_cast<QFileDialog*>(&dialog)) files->selectFile(Folder.path() + "/BENCH.LST");
            return QDialog::Accepted;
        };
        DialogHooks.MessageBox = [](QMessageBox::Icon, const QString&, const QString&, QMessageBox::StandardButtons) {
            return QMessageBox::Ok;
        };
        Form.reset(CreateSimulatorForms());
        Form->resize(1280, 800);
        Form->show();
        Form->FileOpen1Execute();
        QCoreApplication::processEvents();
    }
    ~TLoadedSimulator() {
        if (Form->ListingWindow()) Form->ListingWindow()->Modified = false;
        Form.reset();
        DialogHooks = {};
    }
};

// One tick of a run: breakpoint test, highlight, model step, refresh, and
// the painting the run allows.
void BM_RunTick(benchmark::State& state) {
    TLoadedSimulator simulator;
    if (simulator.Form->ListingWindow() == nullptr || simulator.Form->ListingWindow()->LineCount() < ListingLines) {
        state.SkipWithError("listing not loaded");
        return;
    }
    simulator.Form->ToolButton2->setChecked(true);
    simulator.Form->Timer1->stop();  // the benchmark is the clock here
    for (auto _ : state) {
        simulator.Form->Timer1Timer();
        QCoreApplication::processEvents();
    }
    simulator.Form->StopRun();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RunTick)->Unit(benchmark::kMicrosecond);

// A single step from the Step button, painted at once.
void BM_SingleStep(benchmark::State& state) {
    TLoadedSimulator simulator;
    for (auto _ : state) {
        simulator.Form->ToolButton15Click();
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SingleStep)->Unit(benchmark::kMicrosecond);

// A real continuous run on the 1 ms timer; counter steps_per_second.
void BM_RunOnTimer(benchmark::State& state) {
    TLoadedSimulator simulator;
    TMainForm& form = *simulator.Form;
    int64_t steps = 0;
    double seconds = 0;
    for (auto _ : state) {
        int64_t ticks = 0;
        auto counter = QObject::connect(&form, &TMainForm::StepDone, [&] { ++ticks; });
        QElapsedTimer clock;
        form.StartStop1Click();
        clock.start();
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        form.StopRun();
        seconds += clock.nsecsElapsed() / 1e9;
        QObject::disconnect(counter);
        steps += ticks;
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
    state.counters["steps_per_second"] = benchmark::Counter(static_cast<double>(steps) / seconds);
}
BENCHMARK(BM_RunOnTimer)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
