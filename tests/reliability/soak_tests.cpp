// Hundreds of runs in one program: every run must give back what it took,
// so that a user who keeps the program open all day never runs out of
// handles, GDI objects or windows.
#include "reliability/fixture.h"
#include "standin/known_text.h"

#include <cstdio>

using namespace e2e;

namespace {

const int kRuns = 500;
const size_t kOutputLength = 3000;  // three chunks and a bit

enum class RunKind { Decompile, Usage, MissingDestination, MissingDecompiler };

// The mix of one round of ten runs: mostly decompiles, a usage run, and a
// run of each kind whose child cannot be started.
RunKind KindOfRun(int run)
{
    switch (run % 10) {
    case 3: return RunKind::Usage;
    case 6: return RunKind::MissingDestination;
    case 9: return RunKind::MissingDecompiler;
    default: return RunKind::Decompile;
    }
}

const char* NameOf(RunKind kind)
{
    switch (kind) {
    case RunKind::Decompile: return "decompile";
    case RunKind::Usage: return "usage";
    case RunKind::MissingDestination: return "destination that does not exist";
    case RunKind::MissingDecompiler: return "decompiler path that names nothing";
    }
    return "?";
}

class Soak : public ReliabilityTest
{
protected:
    // Makes the fields or the decompiler path what a run of KIND needs, or
    // puts them back after it.
    testing::AssertionResult Arrange(RunKind kind, bool forRun)
    {
        switch (kind) {
        case RunKind::MissingDestination:
            return SetItemText(main_, IDC_DEST_DIR,
                               forRun ? JoinPath(folder_, "no such folder") : destination_);
        case RunKind::MissingDecompiler:
            return ResetDecompiler(forRun ? JoinPath(folder_, "nowhere\\HELPDECO.EXE")
                                          : StandinPath());
        default:
            return testing::AssertionSuccess();
        }
    }

    std::string destination_;
};

}  // namespace

TEST_F(Soak, FiveHundredRunsGiveBackEveryHandleGdiAndUserObject)
{
    ASSERT_TRUE(StartAtMainWindow("text=" + std::to_string(kOutputLength) + "/1000"));
    destination_ = MakeSubfolder(folder_, "out");
    const std::string expected = KnownText(kOutputLength);
    ASSERT_TRUE(FillFields("manual.hlp", destination_));

    ResourceCounts afterFirst = {};
    std::string how;
    int emptyLogs = 0;
    const DWORD start = GetTickCount();
    for (int run = 0; run < kRuns; ++run) {
        const RunKind kind = KindOfRun(run);
        SCOPED_TRACE("run " + std::to_string(run) + ": " + NameOf(kind));
        ASSERT_TRUE(Arrange(kind, true));

        HWND log = nullptr;
        ASSERT_TRUE(RunToEnd(kind == RunKind::Usage ? IDC_USAGE : IDC_START, &log));
        const bool started = kind == RunKind::Decompile || kind == RunKind::Usage;
        const std::string text = ItemText(log, IDC_LOG_TEXT);
        // Under Wine about one start in a few hundred gives a log that stays
        // empty, as if the child never ran; those are counted, and a log
        // with anything in it must be the whole output.
        if (started && text.empty()) {
            ++emptyLogs;
            printf("run %d (%s): the log stayed empty\n", run, NameOf(kind));
        } else {
            ASSERT_EQ(started ? expected : std::string(), text)
                << "the log after the run (" << text.size() << " characters)";
        }
        // The first copy sets up the system's clipboard machinery for good
        // (under Wine a thread and 7 handles), so the first run copies too
        // and the counts after it hold that already.
        if (run % 25 == 0) {
            ASSERT_TRUE(CopyLog(log));
        }
        ASSERT_TRUE(CloseLog(log));
        ASSERT_TRUE(Arrange(kind, false));

        if (run == 0 || run % 100 == 99) {
            ResourceCounts counts = {};
            ASSERT_TRUE(CountIdle(&counts, &how));
            printf("after run %3d (%5.1f s): %s\n", run + 1, (GetTickCount() - start) / 1000.0,
                   Describe(counts).c_str());
            if (run == 0)
                afterFirst = counts;
        }
    }
    const double seconds = (GetTickCount() - start) / 1000.0;
    printf("%d runs in %.1f s (%.0f ms a run); counted with %s\n", kRuns, seconds,
           seconds * 1000 / kRuns, how.c_str());
    RecordProperty("soak_seconds", std::to_string(seconds));

    ResourceCounts afterAll = {};
    ASSERT_TRUE(CountIdle(&afterAll, &how));
    // A leak of one object in the rarest kind of run (a copy, every 25th)
    // would add 20, far more than the slack for Wine's DC cache.
    ExpectNoGrowth(afterFirst, afterAll);
    EXPECT_LE(emptyLogs, kRuns / 100) << "runs whose log stayed empty although the child exists";
}
