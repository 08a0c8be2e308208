// The continuous run with all six tool windows open and a 2,000-line
// listing: the cost of one tick, and the steps a run on the 1 ms timer
// really makes per second.
#include "simulator/Hc11.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/Main.h"
#include "simulator/ui/UiDialogs.h"
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

namespace {

constexpr int ListingLines = 2000;

// INX on every line but the last, which jumps back: IX counts the steps.
void WriteProgram(const QString& folder) {
    const int body = ListingLines - 1;
    QByteArray listing;
    QByteArray bytes;
    for (int i = 0; i < body; ++i) {
        listing += QStringLiteral("%1 %2 08                   INX\n")
                       .arg(i + 1, 4, 10, QChar('0'))
                       .arg(i, 4, 16, QChar('0'))
                       .toUpper()
                       .toLatin1();
        bytes += '\x08';
    }
    listing += QStringLiteral("%1 %2 7E 00 00             JMP   $0000\n")
                   .arg(ListingLines, 4, 10, QChar('0'))
                   .arg(body, 4, 16, QChar('0'))
                   .toUpper()
                   .toLatin1();
    bytes += QByteArray("\x7E\x00\x00", 3);
    QByteArray object;
    for (int address = 0; address < bytes.size(); address += 16) {
        const QByteArray chunk = bytes.mid(address, 16);
        const QByteArray record = QByteArray::number(chunk.size() + 3, 16).rightJustified(2, '0') +
                                  QByteArray::number(address, 16).rightJustified(4, '0') + chunk.toHex() + "00";
        object += "S1" + record.toUpper() + "\n";
    }
    QFile listingFile(folder + "/BENCH.LST");
    listingFile.open(QIODevice::WriteOnly);
    listingFile.write(listing);
    QFile objectFile(folder + "/BENCH.S19");
    objectFile.open(QIODevice::WriteOnly);
    objectFile.write(object + "S9030000FC\n");
}

// The simulator with the listing loaded, ten watches and every tool window open.
struct TSimulatorWithWindows {
    QTemporaryDir Folder;
    std::unique_ptr<TMainForm> Form;

    TSimulatorWithWindows() {
        WriteProgram(Folder.path());
        DialogHooks.Modal = [this](QDialog& dialog) -> int {
            if (auto* files = qobject_cast<QFileDialog*>(&dialog)) files->selectFile(Folder.path() + "/BENCH.LST");
            return QDialog::Accepted;
        };
        DialogHooks.MessageBox = [](QMessageBox::Icon, const QString&, const QString&, QMessageBox::StandardButtons) {
            return QMessageBox::Ok;
        };
        for (size_t i = 0; i < WatchTable.size(); ++i)
            WatchTable[i] = {QStringLiteral("V%1").arg(i), QStringLiteral("00%1").arg(0x10 + i, 2, 16, QChar('0')),
                             static_cast<uint8_t>(i % 3), static_cast<uint8_t>(i % 4), 0};
        Form.reset(CreateSimulatorForms());
        Form->resize(1280, 800);
        Form->show();
        Form->FileOpen1Execute();
        Form->OknoregistrovCPE1Click();
        Form->Registrivgrajenihenot1Click();
        Form->Sklad1Click();
        Form->Spominskelokacije1Click();
        Form->Uporabnikespremenljivke1Click();
        Form->VrataA1Click();
        QCoreApplication::processEvents();
    }
    ~TSimulatorWithWindows() {
        if (Form->ListingWindow()) Form->ListingWindow()->Modified = false;
        Form.reset();
        DialogHooks = {};
    }
    bool Ready() const {
        return Form->ListingWindow() && Form->ListingWindow()->LineCount() >= ListingLines &&
               Form->OpenWindowList.size() == 6;
    }
};

// One tick of a run, painting included.
void BM_RunTickAllWindows(benchmark::State& state) {
    TSimulatorWithWindows simulator;
    if (!simulator.Ready()) {
        state.SkipWithError("listing or windows missing");
        return;
    }
    simulator.Form->Timer1->stop();  // the benchmark is the clock here
    simulator.Form->ToolButton2->setChecked(true);
    for (auto _ : state) {
        simulator.Form->Timer1Timer();
        QCoreApplication::processEvents();
    }
    simulator.Form->StopRun();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RunTickAllWindows)->Unit(benchmark::kMicrosecond);

// A real run on the 1 ms timer for a second; counter steps_per_second.
void BM_RunOnTimerAllWindows(benchmark::State& state) {
    TSimulatorWithWindows simulator;
    if (!simulator.Ready()) {
        state.SkipWithError("listing or windows missing");
        return;
    }
    double steps = 0;
    double seconds = 0;
    for (auto _ : state) {
        const uint16_t before = CpuRegs.IX;
        QElapsedTimer clock;
        simulator.Form->StartStop1Click();
        clock.start();
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        simulator.Form->StopRun();
        const double elapsed = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        // One JMP for every ListingLines - 1 INX.
        steps += static_cast<uint16_t>(CpuRegs.IX - before) * double(ListingLines) / (ListingLines - 1);
        seconds += elapsed;
        state.SetIterationTime(elapsed);
    }
    state.counters["steps_per_second"] = benchmark::Counter(steps / seconds);
}
BENCHMARK(BM_RunOnTimerAllWindows)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
