// Long runs: does anything grow?
//  - VantrelSIM runs each example continuously on its 1 ms timer with every
//    tool window open; resident memory and the share of a core are sampled
//    over the first and the last stretch of the run, and the listing's undo
//    history is counted at both ends.
//  - The assembler is started through asm.bat the way Vantrel starts it, many
//    times over; the descriptors, the files in the folder and the memory are
//    counted before and after.
// Options (besides Google Benchmark's):
//   --soak_seconds=N  the run of each example (default 600)
//   --assemblies=N    the starts of the assembler (default 1000)
// e.g. SoakBench --soak_seconds=10 --assemblies=50 for a quick look.
#include "gui/DialogAnswers.h"
#include "platform/shell/ShellApi.h"
#include "simulator/Hc11.h"
#include "simulator/ui/Childwin.h"
#include "simulator/ui/Main.h"
#include "simulator/ui/ToolWindow.h"
#include "simulator/ui/UnitViewSprem.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

int SoakSeconds = 600;
int Assemblies = 1000;

// Resident memory of this process, in KiB.
double ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1024.0;
}

// Processor time of this process (user and system), in seconds.
double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int OpenDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count - 1;  // the iterator's own
}

void RunEventsFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Share of one core used while the event loop ran for `milliseconds`, in percent.
double CpuShareOver(int milliseconds) {
    const double cpu = CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    RunEventsFor(milliseconds);
    return 100.0 * (CpuSeconds() - cpu) / (static_cast<double>(clock.nsecsElapsed()) / 1e9);
}

// Assembles an example with as11m into folder: NAME.LST and NAME.S19.
QString AssembleExample(const QString& example, const QString& folder) {
    const QString source = folder + "/" + QFileInfo(example).fileName();
    QFile::copy(example, source);
    QProcess::execute(QStringLiteral(AS11M_PATH), {source, QStringLiteral("-l")});
    return folder + "/" + QFileInfo(example).completeBaseName() + ".LST";
}

}  // namespace

namespace VantrelSIM {
namespace {

// One example in a continuous run with the six tool windows open.
void BM_SoakRun(benchmark::State& state, const QString& example) {
    for (auto _ : state) {
        QTemporaryDir folder;
        gui::TDialogAnswers dialogs;
        dialogs.ChosenFile = AssembleExample(example, folder.path());
        for (size_t i = 0; i < WatchTable.size(); ++i)
            WatchTable[i] = {QStringLiteral("V%1").arg(i), QStringLiteral("00%1").arg(0x10 + i, 2, 16, QChar('0')),
                             static_cast<uint8_t>(i % 3), static_cast<uint8_t>(i % 4), 0};
        std::unique_ptr<TMainForm> form(CreateSimulatorForms());
        form->resize(1280, 800);
        form->show();
        form->FileOpen1Execute();
        for (const TToolWindowKind& kind : ToolWindowTable) (*form.*kind.OpenHandler)();
        if (!form->ListingWindow() || form->OpenWindowList.size() != 6) {
            state.SkipWithError("listing or tool windows missing");
            return;
        }
        QTextDocument& listing = *form->ListingWindow()->RichEdit1->document();
        int64_t steps = 0;
        QObject::connect(form.get(), &TMainForm::StepDone, [&steps] { ++steps; });

        // The first and the last stretch: a tenth of the run, 1 to 30 s.
        const int total = SoakSeconds * 1000;
        const int stretch = std::clamp(total / 10, 1000, 30000);
        QElapsedTimer clock;
        clock.start();
        form->StartStop1Click();
        const double cpuStart = CpuShareOver(stretch);
        const double rssStart = ResidentKiB();
        const int undoStart = listing.availableUndoSteps();
        RunEventsFor(std::max(0, total - 2 * stretch));
        const double rssBeforeLast = ResidentKiB();
        const double cpuEnd = CpuShareOver(stretch);
        const double rssEnd = ResidentKiB();
        const int undoEnd = listing.availableUndoSteps();
        const bool stillRunning = form->Running();
        form->StopRun();
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);

        state.counters["steps"] = static_cast<double>(steps);
        state.counters["steps_per_s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
        state.counters["rss_start_MiB"] = rssStart / 1024;
        state.counters["rss_end_MiB"] = rssEnd / 1024;
        state.counters["rss_growth_KiB"] = rssEnd - rssStart;
        state.counters["rss_last_stretch_KiB"] = rssEnd - rssBeforeLast;
        state.counters["cpu_start_pct"] = cpuStart;
        state.counters["cpu_end_pct"] = cpuEnd;
        state.counters["undo_start"] = undoStart;
        state.counters["undo_end"] = undoEnd;
        state.counters["running_at_end"] = stillRunning;
        state.counters["boxes"] = static_cast<double>(dialogs.Boxes.size());

        form->ListingWindow()->Modified = false;
        form.reset();
        WatchTable = {};
    }
}

}  // namespace
}  // namespace VantrelSIM

namespace {

// as11m started through asm.bat as Vantrel starts it: the listing deleted
// first, the start hidden, the wait until the program has ended, then the
// listing and the object file read and removed.
void BM_AssembleRepeatedly(benchmark::State& state) {
    for (auto _ : state) {
        QTemporaryDir temporary;
        const std::string folder = temporary.path().toStdString();
        std::ofstream(folder + "/asm.bat") << "AS11M %1 -l";
        std::filesystem::copy_file(EXAMPLES_DIR "/zanka.asm", folder + "/TEMP$$.ASM");
        shell::ShellApi& shell = shell::DefaultShellApi();
        const std::string listing = folder + "/TEMP$$.LST";
        const std::string object = folder + "/TEMP$$.S19";

        // One start before counting, so that what is made once is made.
        auto assemble = [&]() {
            std::filesystem::remove(listing);
            const shell::StartResult started = shell.ShellExecute("asm.bat", "TEMP$$.ASM", folder, shell::SW_HIDE);
            if (!started.Started()) return false;
            while (shell.IsRunning(started.Process)) QThread::usleep(500);
            const bool made = std::filesystem::exists(listing) && std::filesystem::file_size(object) > 0;
            std::filesystem::remove(listing);
            std::filesystem::remove(object);
            return made;
        };
        if (!assemble()) {
            state.SkipWithError("as11m did not run through asm.bat");
            return;
        }
        const int descriptorsStart = OpenDescriptors();
        const double rssStart = ResidentKiB();
        QElapsedTimer clock;
        clock.start();
        int failures = 0;
        for (int i = 0; i < Assemblies; ++i)
            if (!assemble()) ++failures;
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);

        int filesLeft = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++filesLeft;
        state.counters["assemblies"] = Assemblies;
        state.counters["failures"] = failures;
        state.counters["ms_per_assembly"] = static_cast<double>(clock.elapsed()) / Assemblies;
        state.counters["fds_start"] = descriptorsStart;
        state.counters["fds_end"] = OpenDescriptors();
        state.counters["files_left"] = filesLeft - 2;  // asm.bat and the source stay
        state.counters["rss_growth_KiB"] = ResidentKiB() - rssStart;
    }
}

// The value of --name=N among the arguments, removed from them.
void TakeOption(int& argc, char** argv, const char* name, int& value) {
    const std::string prefix = std::string("--") + name + "=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) != 0) continue;
        value = std::atoi(argv[i] + prefix.size());
        for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
        --argc;
        return;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TakeOption(argc, argv, "soak_seconds", SoakSeconds);
    TakeOption(argc, argv, "assemblies", Assemblies);
    // asm.bat names AS11M; the shell finds it on PATH, as on a student's machine.
    const std::string as11mFolder = std::filesystem::path(AS11M_PATH).parent_path().string();
    const char* path = std::getenv("PATH");
    ::setenv("PATH", (as11mFolder + ":" + (path ? path : "")).c_str(), 1);

    QApplication app(argc, argv);
    const QStringList examples = QDir(QStringLiteral(EXAMPLES_DIR)).entryList({"*.asm"}, QDir::Files, QDir::Name);
    for (const QString& name : examples) {
        const QString example = QStringLiteral(EXAMPLES_DIR "/") + name;
        benchmark::RegisterBenchmark(("BM_SoakRun/" + name.toStdString()).c_str(),
                                     [example](benchmark::State& state) { VantrelSIM::BM_SoakRun(state, example); })
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kSecond);
    }
    benchmark::RegisterBenchmark("BM_AssembleRepeatedly", BM_AssembleRepeatedly)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
