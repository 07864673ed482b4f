// The benchmark driver, run by scripts/bench.sh (which times the cold
// starts itself: a Windows program watching them would be the first start
// after the Wine server's restart):
//   quorvantel_bench stream raw|floor|program BYTES
//       one stand-in run of BYTES of hex-dump text in this fresh process;
//       prints its milliseconds and this process's peak working set
//   quorvantel_bench table REPEATS
//       every other measurement, then the table, with the cold starts read
//       from cold.txt beside the driver
// The machines are noisy: every figure is a ratio of variants measured side
// by side in one run, the variants alternate, and medians are taken.
#include "bench/bench.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace {

const char* const kVariants[] = {"raw", "floor", "program"};
const size_t kSizes[] = {0, 256 * 1024, 1024 * 1024, 4 * 1024 * 1024};
const double kMiB = 1024.0 * 1024.0;
const size_t kMixedBytes = 100 * 1000;
// Timers 1 and 2 delay the run; the 150 ms Sleep comes after the buttons.
const double kTimerDelaysMs = 2 * 150;

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
    SetStandInActions("hex=" + std::to_string(bytes) + "/4096");
    const std::string command = StandInCommand();
    const double ms = variant == "raw"     ? TimeRawRun(command)
                      : variant == "floor" ? TimeFloorRun(command)
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
            for (int i = 0; i < 3; ++i) {
                const std::string variant = kVariants[(i + repeat) % 3];
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

void PrintStreaming(StreamRuns& runs)
{
    printf("\n1. Streaming hex-dump text from the stand-in (writes of 4096 bytes, reads of 1024)\n"
           "   (a) reads discarded, (b) bare rich edit, (c) the program's run into its log window\n"
           "   size      (a) ms  MiB/s     (b) ms  MiB/s     (c) ms  MiB/s    c/b    c/a\n");
    bool speedMet = true;
    for (size_t size : kSizes) {
        const double a = Median(runs[{"raw", size}].ms);
        const double b = Median(runs[{"floor", size}].ms);
        const double c = Median(runs[{"program", size}].ms);
        const double mib = static_cast<double>(size) / kMiB;
        printf("   %4.2f MiB %7.1f %6.2f  %9.1f %6.2f  %9.1f %6.2f  %5.3f  %5.3f\n", mib, a,
               1000 * mib / a, b, 1000 * mib / b, c, 1000 * mib / c, b / c, a / c);
        speedMet = speedMet && (size == 0 || b / c >= 0.95);
    }
    printf("   c/b and c/a are ratios of speeds. Goal c/b >= 0.95 at every size: %s\n",
           Verdict(speedMet));

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
           "   size      (b) floor  (c) program    c/b\n");
    bool memoryMet = true;
    for (size_t size : kSizes) {
        const double b = Median(runs[{"floor", size}].peak) / kMiB;
        const double c = Median(runs[{"program", size}].peak) / kMiB;
        printf("   %4.2f MiB %10.1f  %11.1f  %5.3f\n", static_cast<double>(size) / kMiB, b, c,
               c / b);
        memoryMet = memoryMet && (size == 0 || c / b <= 1.05);
    }
    printf("   Goal c/b <= 1.05: %s\n", Verdict(memoryMet));
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

void MeasureAndPrintStartUp(int repeats)
{
    const std::string quorvantel = ProgramFolder() + "Quorvantel.exe";
    const std::string empty = ProgramFolder() + "bench_empty_dialog.exe";
    std::vector<double> program, yardstick;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        if (repeat % 2)
            yardstick.push_back(TimeStartUp(empty, "Empty Dialog"));
        program.push_back(TimeStartUp(quorvantel, "Quorvantel"));
        if (repeat % 2 == 0)
            yardstick.push_back(TimeStartUp(empty, "Empty Dialog"));
    }
    const std::vector<double> coldProgram = ReadColdStarts("quorvantel");
    const std::vector<double> coldYardstick = ReadColdStarts("empty");
    const double cold = Median(coldProgram) / Median(coldYardstick);
    const double warm = Median(program) / Median(yardstick);
    printf("\n3. Start-up to the main window shown (ms), against an empty modal dialog\n"
           "   cold: right after the Wine server's restart, \"wine\" to the X window mapped\n"
           "   warm: CreateProcess to the window visible, polled from the driver\n"
           "         runs  Quorvantel  empty dialog  ratio\n"
           "   cold  %4u  %10.1f  %12.1f  %5.3f\n"
           "   warm  %4d  %10.1f  %12.1f  %5.3f\n"
           "   Goal ratio <= 1.2: cold %s, warm %s\n",
           static_cast<unsigned>(coldProgram.size()), Median(coldProgram), Median(coldYardstick),
           cold, repeats, Median(program), Median(yardstick), warm, Verdict(cold <= 1.2),
           Verdict(warm <= 1.2));
}

void MeasureAndPrintRealisticRun(int repeats)
{
    SetStandInActions("mixed=" + std::to_string(kMixedBytes));
    const std::string command = StandInCommand();
    const std::string folder = ProgramFolder();
    RunningProgram program = {};
    OpenQuorvantel(folder + "Quorvantel.exe", folder.substr(0, folder.size() - 1), program);
    // The first runs load what the later ones find loaded.
    TimeStartClick(program);
    TimeFloorRun(command);
    std::vector<double> raw, bare, click;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        if (repeat % 2)
            click.push_back(TimeStartClick(program) - kTimerDelaysMs);
        raw.push_back(TimeRawRun(command));
        bare.push_back(TimeFloorRun(command));
        if (repeat % 2 == 0)
            click.push_back(TimeStartClick(program) - kTimerDelaysMs);
    }
    CloseQuorvantel(program);
    const double a = Median(raw), b = Median(bare), c = Median(click);
    printf("\n4. A realistic run: %u bytes of progress (bare CR), result and warning lines\n"
           "   on stdout and stderr, one write a line (ms, medians of %d)\n"
           "   (a) raw %.1f, (b) bare rich edit %.1f, the program %.1f: from the click on\n"
           "   \"S T A R T\" to both log buttons enabled, less %.0f for timers 1 and 2\n"
           "   The program adds %.1f %% to (a) (the bare rich edit %.1f %%). Goal < 10 %%: %s\n",
           static_cast<unsigned>(CaptureOutput(command).size()), repeats, a, b, c,
           kTimerDelaysMs, 100 * (c - a) / a, 100 * (b - a) / a, Verdict(c - a < 0.1 * a));
}

// Quorvantel.ini beside the program, naming the stand-in, is bench.sh's.
int RunTable(int repeats)
{
    LoadLibraryA("riched32.dll");
    printf("Quorvantel benchmarks: medians of %d interleaved runs\n", repeats);
    StreamRuns runs;
    MeasureStreaming(repeats, runs);
    PrintStreaming(runs);
    MeasureAndPrintStartUp(repeats);
    MeasureAndPrintRealisticRun(repeats);
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
    fprintf(stderr, "usage: quorvantel_bench stream raw|floor|program BYTES | table REPEATS\n");
    return 2;
}
