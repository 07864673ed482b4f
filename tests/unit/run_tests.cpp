// The decompiler run, with the stand-in decompiler as the child and the
// program's own log window and progress box around it.
#include <gtest/gtest.h>

#include "core/app_state.h"
#include "core/command_line.h"
#include "run_support.h"
#include "standin/known_text.h"
#include "test_support.h"
#include "ui/dialogs.h"

#include <string>

namespace {

// What every run leaves behind, whatever the child did.
void ExpectRunFinished(const RunOutcome& outcome)
{
    EXPECT_TRUE(outcome.buttonsDisabledBefore) << "the log's buttons must start disabled";
    EXPECT_TRUE(outcome.closeEnabled) << "\"Close\" still disabled after the run";
    EXPECT_TRUE(outcome.copyEnabled) << "\"Copy To Clipboard\" still disabled after the run";
    EXPECT_EQ(75, outcome.position) << "the run steps the bar three times by 25";
    EXPECT_TRUE(outcome.boxHidden) << "the progress box was not ended";
}

std::string FirstLine(const std::string& text, size_t* next = nullptr)
{
    const size_t end = text.find('\n');
    if (next)
        *next = end == std::string::npos ? text.size() : end + 1;
    return text.substr(0, end);
}

// The command line and working directory the stand-in recorded.
void ReadRecord(const std::string& path, std::string* commandLine, std::string* directory)
{
    const std::string record = ReadWholeFile(path);
    size_t next = 0;
    *commandLine = FirstLine(record, &next);
    *directory = FirstLine(record.substr(next));
}

}  // namespace

// Short outputs, each with one way a run can go wrong.
TEST(RunDecompiler, ShortOutputsReachTheLogAsWritten)
{
    struct Row
    {
        const char* label;
        std::string command;
        const char* actions;
        const char* log;
    };
    const std::string standin = StandinRunCommand();
    const Row rows[] = {
        {"child writing nothing", standin, "exit=0", ""},
        {"line end split between reads stays one line end", standin,
         "stdout=first\r;sleep=300;stdout=\nsecond", "first\r\nsecond"},
        // A NUL would end the text handed to the log: only the NUL is lost.
        {"NUL byte dropped, text after it kept", standin, "nul;stdout= and more",
         "beforeafter and more"},
        {"missing decompiler", "C:\\nowhere\\HELPDECO.EXE \"C:\\Help\\manual.hlp\" /y", "stdout=ran",
         ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        const RunOutcome outcome = RunInLogWindow(row.command, ModuleFolder(), row.actions);
        EXPECT_EQ(row.log, outcome.log);
        ExpectRunFinished(outcome);
    }
}

TEST(RunDecompiler, KnownTextArrivesWholeAndInOrder)
{
    struct Row
    {
        const char* label;
        const char* actions;  // text=N/W: N bytes in writes of W
        size_t length;
    };
    const Row rows[] = {
        {"one short write", "text=1000", 1000},
        {"writes of exactly 1024", "text=10240/1024", 10240},
        {"odd writes", "text=20000/333", 20000},
        {"byte by byte", "text=3000/1", 3000},
        {"one write of 5000", "text=5000", 5000},
        {"200 KB, beyond the old 32,767 limit", "text=204800/4096", 204800},
    };
    for (const Row& row : rows) {
        const RunOutcome outcome = RunInLogWindow(StandinRunCommand(), ModuleFolder(), row.actions);
        const std::string expected = KnownText(row.length);
        EXPECT_TRUE(expected == outcome.log)
            << row.label << ": " << DescribeDifference(expected, outcome.log);
        EXPECT_EQ(kLogTextLimit, outcome.textLimit) << row.label;
        SCOPED_TRACE(row.label);
        ExpectRunFinished(outcome);
    }
}

TEST(RunDecompiler, StandardErrorInterleavesInWrittenOrder)
{
    const RunOutcome outcome = RunInLogWindow(StandinRunCommand(), ModuleFolder(), "lines=300");
    std::string expected;
    for (int line = 1; line <= 300; ++line)
        expected += (line % 2 ? "out " : "err ") + std::to_string(line) + "\r\n";
    EXPECT_TRUE(expected == outcome.log) << DescribeDifference(expected, outcome.log);
    ExpectRunFinished(outcome);
}

TEST(RunDecompiler, UsageRunShowsWhatDecompilerPrintsAlone)
{
    StoreText(AppState.decompilerPath, {StandinPath().c_str()});
    ComposeUsageCommand();
    const RunOutcome outcome = RunInLogWindow(AppState.commandLine, AppState.destDir, nullptr);
    EXPECT_EQ("Stand-in decompiler. Usage: standin helpfile.hlp [switches]\r\n", outcome.log);
    ExpectRunFinished(outcome);
}

TEST(RunDecompiler, MissingDestinationStartsNoChild)
{
    ScratchFolder scratch;
    const std::string record = scratch.File("record.txt");
    const RunOutcome outcome = RunInLogWindow(StandinRunCommand(), scratch.File("missing"),
                                              ("record=" + record + ";stdout=ran").c_str());
    EXPECT_EQ("", outcome.log);
    EXPECT_FALSE(FileExists(record)) << "the child ran";
    ExpectRunFinished(outcome);
}

TEST(RunDecompiler, ChildRunsInDestinationWithCommandLineAsComposed)
{
    ScratchFolder scratch;
    const std::string destination = scratch.File("out put");
    ASSERT_TRUE(CreateDirectoryA(destination.c_str(), nullptr));
    const std::string record = scratch.File("record.txt");
    const std::string command = StandinRunCommand();
    const RunOutcome outcome = RunInLogWindow(command, destination,
                                              ("record=" + record + ";file=manual.rtf;stdout=ran").c_str());
    EXPECT_EQ("ran", outcome.log);
    std::string commandLine, directory;
    ReadRecord(record, &commandLine, &directory);
    EXPECT_EQ(command, commandLine);
    EXPECT_EQ(destination, directory);
    EXPECT_TRUE(FileExists(destination + "\\manual.rtf")) << "output not written in the destination";
    ExpectRunFinished(outcome);
}

// "NONE" exactly means our own current directory; "none" is a folder name.
TEST(RunDecompiler, OnlyUpperCaseNoneMeansOwnCurrentDirectory)
{
    ScratchFolder scratch;
    ASSERT_TRUE(CreateDirectoryA(scratch.File("none").c_str(), nullptr));
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(scratch.Path().c_str()));

    struct Row
    {
        const char* destination;
        std::string expected;
    };
    const Row rows[] = {
        {"NONE", scratch.Path()},
        {"none", scratch.File("none")},
        {"None", scratch.File("none")},
    };
    const std::string record = scratch.File("record.txt");
    for (const Row& row : rows) {
        DeleteFileA(record.c_str());
        const RunOutcome outcome =
            RunInLogWindow(StandinRunCommand(), row.destination, ("record=" + record).c_str());
        std::string commandLine, directory;
        ReadRecord(record, &commandLine, &directory);
        EXPECT_TRUE(lstrcmpiA(row.expected.c_str(), directory.c_str()) == 0)
            << "destination " << row.destination << ": expected the child in [" << row.expected
            << "], it ran in [" << directory << "]";
    }
    SetCurrentDirectoryA(previous);
}

// Two-byte characters (code page 932): "a" and then N characters of two
// bytes in one write, so the first 1024-byte read ends on a lead byte
// whenever N reaches 512.
TEST(DoubleByte, CharacterSplitBetweenReadsArrivesWhole)
{
    ASSERT_EQ(932u, GetACP()) << "this test needs the code page 932 session";
    const unsigned counts[] = {511, 512, 1500, 5000};
    for (unsigned count : counts) {
        const std::string actions = "dbcs=" + std::to_string(count);
        const RunOutcome outcome = RunInLogWindow(StandinRunCommand(), ModuleFolder(), actions.c_str());
        std::string expected = "a";
        for (unsigned i = 0; i < count; ++i)
            expected += "\x82\xa0";
        EXPECT_TRUE(expected == outcome.log)
            << count << " characters: " << DescribeDifference(expected, outcome.log);
        EXPECT_EQ(kLogTextLimit, outcome.textLimit);
        SCOPED_TRACE(actions);
        ExpectRunFinished(outcome);
    }
}

// Every run must close the pipe ends and the child's handles it received.
TEST(RunDecompiler, ManyRunsLeakNoHandles)
{
    const std::string command = StandinRunCommand();
    RunInLogWindow(command, ModuleFolder(), "stdout=warm-up");
    const unsigned before = CountOpenHandles();
    const int runs = 100;
    int wrongLogs = 0;
    for (int run = 0; run < runs; ++run)
        wrongLogs += RunInLogWindow(command, ModuleFolder(), "stdout=run").log != "run";
    const unsigned after = CountOpenHandles();
    EXPECT_EQ(0, wrongLogs) << "runs whose log was not \"run\"";
    EXPECT_LE(after, before) << "open handles went from " << before << " to " << after << " over "
                             << runs << " runs";
}
