// The benchmark driver, run by scripts/bench.sh (which times the cold
// starts itself: a Windows program watching them would be the first start
// after the Wine server's restart):
//   quorvantel_bench stream raw|visible|hidden|program BYTES
//       one stand-in run of BYTES of hex-dump text in this fresh process;
//       prints its milliseconds and this process's peak working set
//   quorvantel_bench table REPEATS
//       every other measurement, then the table, with the cold starts read
//       from cold.txt beside the driver
//   quorvantel_bench realistic REPEATS [EXECUTABLE...]
//       the realistic run alone; with EXECUTABLEs, other builds of the
//       program beside this one, of those too, side by side with this build's
//   quorvantel_bench batch REPEATS
//       a batch of help files, against the same runs of the stand-in alone,
//       beside the realistic run
//   quorvantel_bench startup REPEATS [earlier]
//       the start-ups alone, with the cold starts read from cold.txt; with
//       "earlier", of Quorvantel-earlier.exe beside this build's too
// The machines are noisy: every figure is a ratio of variants measured side
// by side in one run, the variants alternate, and medians are taken.
#include "bench/bench.h"

#include "common/files.h"
#include "e2e/driver.h"
#include "res/resource.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

const char* const kVariants[] = {"raw", "visible", "hidden", "program"};
const size_t kVariantCount = sizeof kVariants / sizeof kVariants[0];
const size_t kSizes[] = {0, 256 * 1024, 1024 * 1024, 4 * 1024 * 1024};
const double kMiB = 1024.0 * 1024.0;
const size_t kMixedBytes = 100 * 1000;
// A stand-in run that prints nothing: what a run costs besides its output.
const char kNoOutput[] = "exit=0";
// The realistic run is short, so its times scatter most; it is also cheap,
// so it is repeated this many times as often as the others.
const int kRealisticRunsPerRepeat = 4;

struct Runs
{
    std::vector<double> ms, peak;
};
typedef std::map<std::pair<std::string, size_t>, Runs> StreamRuns;

void SetStandInActions(const std::string& actions)
{
    SetEnvironmentVariableA("STANDIN_ACTIONS", actions.c_str());
}

// Writes of 4096 bytes: a console program's C library buffers its output
// so when it goes to a pipe.
int RunStreamVariant(const std::string& variant, size_t bytes)
{
    InitCommonControls();
    LoadLibraryA("riched32.dll");
    SetStandInActions("text=" + std::to_string(bytes) + "/4096");
    const std::string command = StandInCommand();
    const double ms = variant == "raw"       ? TimeRawRun(command)
                      : variant == "visible" ? TimeBareRun(command, true)
                      : variant == "hidden"  ? TimeBareRun(command, false)
                                             : TimeProgramRun(command);
    printf("%.3f %llu\n", ms, PeakWorkingSet());
    return ms < 0;
}

// Each run in a fresh process, so that peaks do not mix.
void MeasureStreaming(int repeats, StreamRuns& runs)
{
    const std::string self = "\"" + ProgramFolder() + "quorvantel_bench.exe\" stream ";
    for (int repeat = 0; repeat < repeats; ++repeat)
        for (size_t size : kSizes)
            for (size_t i = 0; i < kVariantCount; ++i) {
                const std::string variant = kVariants[(i + repeat) % kVariantCount];
                std::istringstream result(
                    CaptureOutput(self + variant + " " + std::to_string(size)));
                double ms = -1, peak = 0;
                result >> ms >> peak;
                runs[{variant, size}].ms.push_back(ms);
                runs[{variant, size}].peak.push_back(peak);
            }
}

const char* Verdict(bool met)
{
    return met ? "met" : "NOT met";
}

// Times are compared, not speeds: c/h is the program's time over the
// hidden control's for the same output.
void PrintStreaming(StreamRuns& runs)
{
    printf("\n1. Streaming hex-dump text from the stand-in (writes of 4096 bytes, reads of 1024)\n"
           "   (a) reads discarded, (b) bare rich edit visible, (h) hidden, (c) the program's\n"
           "   run into its log window; medians in ms, and the program's MiB/s\n"
           "   size       (a)      (b)      (h)      (c)  MiB/s    c/h    c/b\n");
    bool speedMet = true;
    for (size_t size : kSizes) {
        const double a = Median(runs[{"raw", size}].ms);
        const double b = Median(runs[{"visible", size}].ms);
        const double h = Median(runs[{"hidden", size}].ms);
        const double c = Median(runs[{"program", size}].ms);
        const double mib = static_cast<double>(size) / kMiB;
        printf("   %4.2f MiB %6.0f %8.0f %8.0f %8.0f %6.2f  %5.3f  %5.3f\n", mib, a, b, h, c,
               1000 * mib / c, c / h, c / b);
        speedMet = speedMet && (size == 0 || c / h <= 1.10);
    }
    printf("   Goal: the program within 10 %% of the hidden control (c/h <= 1.10) from\n"
           "   0.25 MiB up: %s\n", Verdict(speedMet));

    printf("   Growth of the time from 0.25 to 4 MiB (linear: x16); net: less the 0-byte run\n");
    for (const char* variant : kVariants) {
        const double zero = Median(runs[{variant, 0}].ms);
        const double small = Median(runs[{variant, kSizes[1]}].ms);
        const double large = Median(runs[{variant, kSizes[3]}].ms);
        printf("   %-8s x%5.1f total", variant, large / small);
        // When the child's start outweighs the streaming, no net figure holds.
        if (small - zero > 0.5 * small)
            printf(", x%5.1f net", (large - zero) / (small - zero));
        printf("\n");
    }
    const double zero = Median(runs[{"program", 0}].ms);
    const double growth = (Median(runs[{"program", kSizes[3]}].ms) - zero) /
                          (Median(runs[{"program", kSizes[1]}].ms) - zero);
    printf("   Goal: the program's net growth within 20 %% of x16: %s\n",
           Verdict(growth >= 16 / 1.2 && growth <= 16 * 1.2));

    printf("\n2. Peak working set, each run in a fresh process (MiB)\n"
           "   size      (b) visible  (h) hidden  (c) program    c/b\n");
    bool memoryMet = true;
    for (size_t size : kSizes) {
        const double b = Median(runs[{"visible", size}].peak) / kMiB;
        const double h = Median(runs[{"hidden", size}].peak) / kMiB;
        const double c = Median(runs[{"program", size}].peak) / kMiB;
        printf("   %4.2f MiB %12.1f %11.1f %12.1f  %5.3f\n", static_cast<double>(size) / kMiB, b,
               h, c, c / b);
        memoryMet = memoryMet && (size == 0 || c / b <= 1.05);
    }
    printf("   Goal: no more than the visible control takes, as before (c/b <= 1.05): %s\n",
           Verdict(memoryMet));
}

std::vector<double> ReadColdStarts(const std::string& program)
{
    std::ifstream file(ProgramFolder() + "cold.txt");
    std::vector<double> values;
    std::string name;
    double ms = 0;
    while (file >> name >> ms)
        if (name == program && ms >= 0)
            values.push_back(ms);
    return values;
}

// Milliseconds from starting EXECUTABLE to its window CAPTION with control
// CONTROL_ID showing; negative when it never showed.
double TimeStartUp(const char* executable, const char* caption, int controlId)
{
    driver::Program program;
    const std::string folder = FreshFolder("start-up");
    const double start = NowMs();
    const bool shown = driver::Start(program, folder, "C:\\HELPDECO.EXE", "", executable) &&
                       driver::WaitFor(program, caption, controlId, 60000);
    const double elapsed = NowMs() - start;
    driver::End(program);
    return shown ? elapsed : -1;
}

// Start-ups of each program against the yardstick, alternating.
void MeasureAndPrintStartUp(int repeats, bool withEarlier = false)
{
    struct Program
    {
        const char* name;  // in cold.txt
        const char* executable;
        const char* caption;
        int control;
        std::vector<double> warm;
    };
    std::vector<Program> programs = {{"quorvantel", "Quorvantel.exe", "Quorvantel", IDC_HELP_FILE, {}},
                                     {"empty", "bench_empty_dialog.exe", "Empty Dialog", 0, {}}};
    if (withEarlier)
        programs.insert(programs.begin() + 1, {"earlier", "Quorvantel-earlier.exe", "Quorvantel", IDC_HELP_FILE, {}});
    for (int repeat = 0; repeat < repeats; ++repeat)
        for (size_t i = 0; i < programs.size(); ++i) {
            Program& program = programs[repeat % 2 ? programs.size() - 1 - i : i];
            program.warm.push_back(TimeStartUp(program.executable, program.caption, program.control));
        }
    const Program& yardstick = programs.back();
    const double coldYardstick = Median(ReadColdStarts(yardstick.name));
    printf("\n3. Start-up to the main window shown (ms), against an empty modal dialog\n"
           "   cold: right after the Wine server's restart, \"wine\" to the X window mapped\n"
           "   warm: CreateProcess to the window visible, polled from the driver\n"
           "                     runs  program  empty dialog  ratio\n");
    for (size_t i = 0; i + 1 < programs.size(); ++i) {
        const std::vector<double> cold = ReadColdStarts(programs[i].name);
        const double coldRatio = Median(cold) / coldYardstick;
        const double warmRatio = Median(programs[i].warm) / Median(yardstick.warm);
        printf("   %-10s cold  %4u  %7.1f  %12.1f  %5.3f\n"
               "   %-10s warm  %4d  %7.1f  %12.1f  %5.3f\n"
               "   %-10s goal ratio <= 1.2: cold %s, warm %s\n",
               programs[i].name, static_cast<unsigned>(cold.size()), Median(cold), coldYardstick, coldRatio,
               programs[i].name, repeats, Median(programs[i].warm), Median(yardstick.warm), warmRatio,
               programs[i].name, Verdict(coldRatio <= 1.2), Verdict(warmRatio <= 1.2));
    }
}

double TimeHiddenRun(const std::string& actions)
{
    SetStandInActions(actions);
    return TimeBareRun(StandInCommand(), false);
}

// Quorvantel at its main window, the stand-in doing ACTIONS, fields filled.
struct OpenProgram
{
    driver::Program program;
    HWND main = nullptr;
};

void Open(OpenProgram& open, const std::string& name, const std::string& actions, const std::string& executable)
{
    const std::string folder = FreshFolder(name);
    driver::Start(open.program, folder, StandinPath(), actions, executable);
    open.main = driver::WaitFor(open.program, "Quorvantel", IDC_HELP_FILE, 60000);
    driver::Type(open.main, IDC_HELP_FILE, "bench.hlp");
    driver::Type(open.main, IDC_DEST_DIR, folder);
}

// Milliseconds from clicking "S T A R T" to both log buttons enabled; the
// log window is then closed. Negative when the run did not end.
double TimeStartClick(OpenProgram& open)
{
    const double start = NowMs();
    driver::Click(open.main, IDC_START);
    const HWND log = driver::WaitFor(open.program, "Decompiler Log : ", IDC_LOG_TEXT, 60000);
    const bool ended = log && driver::WaitUntil(
                                  [&] { return driver::Enabled(log, IDOK) && driver::Enabled(log, IDC_COPY_TO_CLIPBOARD); },
                                  60000);
    const double elapsed = NowMs() - start;
    driver::Click(log, IDOK);
    driver::Gone(log);
    return ended ? elapsed : -1;
}

// One build of the program in the realistic run: a copy started with
// output and one without, and their times.
struct RealisticProgram
{
    std::string executable;
    OpenProgram withOutput, withoutOutput;
    std::vector<double> ms, msEmpty;
};

// A run's time for its output is the run less the same run with no output,
// which takes out the child's start and, for the program, its two timers.
// The program reads STANDIN_ACTIONS once, at its start, so one copy runs
// with output and one without. EXECUTABLES, builds of the program beside
// this one, take turns, in the opposite order every other round.
void MeasureAndPrintRealisticRun(int repeats, const std::vector<std::string>& executables = {"Quorvantel.exe"})
{
    const std::string mixed = "mixed=" + std::to_string(kMixedBytes);
    std::vector<RealisticProgram> programs(executables.size());
    for (size_t i = 0; i < programs.size(); ++i) {
        RealisticProgram& program = programs[i];
        program.executable = executables[i];
        Open(program.withOutput, "with-output-" + std::to_string(i), mixed, program.executable);
        Open(program.withoutOutput, "without-output-" + std::to_string(i), kNoOutput, program.executable);
        // The first runs load what the later ones find loaded.
        TimeStartClick(program.withOutput);
        TimeStartClick(program.withoutOutput);
    }
    TimeHiddenRun(mixed);
    std::vector<double> hidden, hiddenEmpty;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        if (repeat % 2) {
            hidden.push_back(TimeHiddenRun(mixed));
            hiddenEmpty.push_back(TimeHiddenRun(kNoOutput));
        }
        for (size_t i = 0; i < programs.size(); ++i) {
            RealisticProgram& program = programs[repeat % 2 ? programs.size() - 1 - i : i];
            program.ms.push_back(TimeStartClick(program.withOutput));
            program.msEmpty.push_back(TimeStartClick(program.withoutOutput));
        }
        if (repeat % 2 == 0) {
            hiddenEmpty.push_back(TimeHiddenRun(kNoOutput));
            hidden.push_back(TimeHiddenRun(mixed));
        }
    }
    SetStandInActions(mixed);
    const size_t bytes = CaptureOutput(StandInCommand()).size();
    const double h = Median(hidden) - Median(hiddenEmpty);
    printf("\n4. A realistic run: %u bytes of progress (bare CR), result and warning lines\n"
           "   on stdout and stderr, one write a line (ms, medians of %d; \"rounds\": the\n"
           "   middle half of the single rounds' times for the output, each run with\n"
           "   output less the run without that follows it)\n"
           "                            with output  no output  for its output  rounds\n",
           static_cast<unsigned>(bytes), repeats);
    for (RealisticProgram& program : programs) {
        driver::End(program.withOutput.program);
        driver::End(program.withoutOutput.program);
        std::vector<double> rounds;
        for (size_t i = 0; i < program.ms.size(); ++i)
            rounds.push_back(program.ms[i] - program.msEmpty[i]);
        std::sort(rounds.begin(), rounds.end());
        printf("   %-24s %10.1f %10.1f %15.1f  %4.0f to %.0f\n", program.executable.c_str(), Median(program.ms),
               Median(program.msEmpty), Median(program.ms) - Median(program.msEmpty), rounds[rounds.size() / 4],
               rounds[rounds.size() * 3 / 4]);
    }
    const double p = Median(programs[0].ms) - Median(programs[0].msEmpty);
    printf("   (h) hidden control        %10.1f %10.1f %15.1f\n"
           "   The program: from the click on \"S T A R T\" to both log buttons enabled.\n"
           "   Goal: this build's time for its output within 25 %% of (h)'s: %.2f, %s\n",
           Median(hidden), Median(hiddenEmpty), h, p / h, Verdict(p <= 1.25 * h));
}

// 5. A batch of kBatchFiles help files, the stand-in printing the realistic
// output for each, from the click on "S T A R T" to both log buttons
// enabled; against the same runs of the stand-in on their own, one after
// another into the hidden control. What the batch adds a help file is the
// difference over the count: the log window's and progress box's timers
// once, and each help file's heading, folder and showing of the log.
const int kBatchFiles = 20;

void MeasureAndPrintBatch(int repeats)
{
    const std::string mixed = "mixed=" + std::to_string(kMixedBytes);
    OpenProgram batch;
    Open(batch, "batch", mixed, "Quorvantel.exe");
    std::string list;
    for (int i = 1; i <= kBatchFiles; ++i)
        list += (i > 1 ? " \"bench" : "\"bench") + std::to_string(i) + ".hlp\"";
    driver::Type(batch.main, IDC_HELP_FILE, list);
    TimeStartClick(batch);  // the first run loads what the later ones find loaded
    std::vector<double> program, alone;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        double sum = 0;
        for (int i = 0; i < kBatchFiles; ++i)
            sum += TimeHiddenRun(mixed);
        alone.push_back(sum);
        program.push_back(TimeStartClick(batch));
    }
    driver::End(batch.program);
    const double p = Median(program), a = Median(alone), added = (p - a) / kBatchFiles;
    printf("\n5. A batch of %d help files, each the realistic run's output (ms, medians of %d)\n"
           "   the program, from the click on \"S T A R T\" to both log buttons  %10.1f\n"
           "   the same %d runs of the stand-in on their own, (h) hidden        %10.1f\n"
           "   added a help file                                               %10.1f\n"
           "   Goal: at most 50 ms a help file: %s\n",
           kBatchFiles, repeats, p, kBatchFiles, a, added, Verdict(added <= 50));
}

int RunTable(int repeats)
{
    LoadLibraryA("riched32.dll");
    printf("Quorvantel benchmarks: medians of %d interleaved runs\n", repeats);
    StreamRuns runs;
    MeasureStreaming(repeats, runs);
    PrintStreaming(runs);
    MeasureAndPrintStartUp(repeats);
    MeasureAndPrintRealisticRun(kRealisticRunsPerRepeat * repeats);
    MeasureAndPrintBatch(repeats);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "stream" && argc == 4)
        return RunStreamVariant(argv[2], strtoul(argv[3], nullptr, 10));
    if (mode == "table" && argc == 3)
        return RunTable(atoi(argv[2]));
    if (mode == "startup" && (argc == 3 || (argc == 4 && std::string(argv[3]) == "earlier"))) {
        MeasureAndPrintStartUp(atoi(argv[2]), argc == 4);
        return 0;
    }
    if (mode == "realistic" && argc >= 3 && atoi(argv[2]) > 0) {
        LoadLibraryA("riched32.dll");
        std::vector<std::string> executables = {"Quorvantel.exe"};
        executables.insert(executables.end(), argv + 3, argv + argc);
        MeasureAndPrintRealisticRun(atoi(argv[2]), executables);
        return 0;
    }
    if (mode == "batch" && argc == 3) {
        LoadLibraryA("riched32.dll");
        MeasureAndPrintRealisticRun(kRealisticRunsPerRepeat * atoi(argv[2]));
        MeasureAndPrintBatch(atoi(argv[2]));
        return 0;
    }
    fprintf(stderr,
            "usage: quorvantel_bench stream raw|visible|hidden|program BYTES | table REPEATS | realistic REPEATS [EXECUTABLE...]"
            " | batch REPEATS"
            " | startup REPEATS [earlier]\n");
    return 2;
}
