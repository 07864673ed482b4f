// Decompilers that misbehave: every run must still end, keep what the child
// wrote, give the user the log window's buttons and leak nothing.
#include "common/compare.h"
#include "reliability/fixture.h"
#include "standin/known_text.h"

#include <richedit.h>


using namespace e2e;

namespace {

const DWORD kLogLimit = 4 * 1024 * 1024;

class UnrulyChild : public ReliabilityTest
{
protected:
    // Starts the program, runs once and counts, so the program has made
    // whatever it keeps for good before the run under test.
    void StartWarmedUp(const std::string& actions, ResourceCounts* counts)
    {
        ASSERT_TRUE(StartAtMainWindow(actions));
        ASSERT_TRUE(FillFields("manual.hlp", folder_));
        HWND log = nullptr;
        ASSERT_TRUE(RunToEnd(IDC_START, &log, 30000));
        ASSERT_TRUE(CloseLog(log));
        ASSERT_TRUE(CountIdle(counts));
    }

    void ExpectNoGrowthSince(const ResourceCounts& before)
    {
        ResourceCounts after = {};
        ASSERT_TRUE(CountIdle(&after));
        ExpectNoGrowth(before, after);
    }
};

}  // namespace

// What the child wrote before it died stays; the run ends on the broken
// pipe as after any other end.
TEST_F(UnrulyChild, CrashHalfWayKeepsOutputAndEndsRun)
{
    const size_t written = 5000;
    ResourceCounts before = {};
    const std::string actions = "text=" + std::to_string(written) + "/1000;crash";
    ASSERT_NO_FATAL_FAILURE(StartWarmedUp(actions, &before));
    HWND log = nullptr;
    ASSERT_TRUE(RunToEnd(IDC_START, &log));
    EXPECT_EQ(KnownText(written), ItemText(log, IDC_LOG_TEXT));
    ASSERT_TRUE(CloseLog(log));
    ASSERT_NO_FATAL_FAILURE(ExpectNoGrowthSince(before));
}

// A grandchild that inherited the pipe keeps the run going until it ends
// too; its words still reach the log.
TEST_F(UnrulyChild, GrandchildHoldingPipeEndsRunWhenItEnds)
{
    const DWORD holdMs = 3000;
    ResourceCounts before = {};
    const std::string actions = "stdout=child done\r\n;grandchild=" + std::to_string(holdMs);
    ASSERT_NO_FATAL_FAILURE(StartWarmedUp(actions, &before));
    const DWORD start = GetTickCount();
    ASSERT_TRUE(Click(main_, IDC_START));
    HWND log = nullptr;
    ASSERT_TRUE(WaitForDialog(program_, kLogCaption, IDC_LOG_TEXT, &log));
    Sleep(holdMs / 2);
    EXPECT_FALSE(IsItemEnabled(log, IDOK)) << "the run ended while the grandchild held the pipe";
    ASSERT_TRUE(WaitForRunEnd(log, holdMs + kWaitMs));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, holdMs) << "the run ended before the grandchild did";
    EXPECT_EQ("child done\r\ngrandchild done\r\n", ItemText(log, IDC_LOG_TEXT));
    ASSERT_TRUE(CloseLog(log));
    ASSERT_NO_FATAL_FAILURE(ExpectNoGrowthSince(before));
}

// Output past the log's bound: the pipe is read to its end, so the child
// never blocks and the run ends. Wine's rich edit raises its limit to fit
// an append that would pass it, so the limit is read before the run, and
// the text can only be checked up to the limit; Windows would stop it there.
TEST_F(UnrulyChild, OutputPastLogLimitEndsRunAndKeepsTextBeforeIt)
{
    const size_t size = 5 * 1024 * 1024;
    ASSERT_TRUE(StartAtMainWindow("text=" + std::to_string(size) + "/65536"));
    ASSERT_TRUE(FillFields("manual.hlp", folder_));
    ASSERT_TRUE(Click(main_, IDC_START));
    HWND log = nullptr;
    ASSERT_TRUE(WaitForDialog(program_, kLogCaption, IDC_LOG_TEXT, &log));
    // The run starts 300 ms after the window shows; till then it answers.
    DWORD_PTR limit = 0;
    ASSERT_TRUE(SendBounded(GetDlgItem(log, IDC_LOG_TEXT), EM_GETLIMITTEXT, 0, 0, &limit));
    EXPECT_EQ(kLogLimit, limit) << "the log's text limit";
    ASSERT_TRUE(WaitForRunEnd(log, 300000));
    SendBounded(GetDlgItem(log, IDC_LOG_TEXT), EM_GETLIMITTEXT, 0, 0, &limit);
    const std::string text = ItemText(log, IDC_LOG_TEXT);
    const std::string expected = KnownText(size);
    EXPECT_GE(text.size(), kLogLimit) << "text below the limit was lost";
    EXPECT_LE(text.size(), expected.size()) << "the log holds more than the child wrote";
    const std::string written = expected.substr(0, text.size());
    EXPECT_TRUE(written == text) << "the log is not the start of the output: "
                                 << DescribeDifference(written, text);
    printf("the log holds %zu of %zu characters (limit after the run %u)\n", text.size(),
           expected.size(), static_cast<unsigned>(limit));
    ASSERT_TRUE(CloseLog(log));
}

// The child has no console: its wait for a key fails at once and it ends.
TEST_F(UnrulyChild, WaitForConsoleKeyEndsRun)
{
    ASSERT_TRUE(StartAtMainWindow("keywait"));
    ASSERT_TRUE(FillFields("manual.hlp", folder_));
    HWND log = nullptr;
    ASSERT_TRUE(RunToEnd(IDC_START, &log));
    const std::string text = ItemText(log, IDC_LOG_TEXT);
    EXPECT_EQ(0u, text.find("Press any key to continue\r\n")) << "the log holds: " << text;
    ASSERT_TRUE(CloseLog(log));
}
