// The decompiler run, with the stand-in as the child and the program's own
// log window and progress box around it.
#include "common/files.h"
#include "core/app_state.h"
#include "core/command_line.h"
#include "standin/output.h"
#include "ui/dialogs.h"
#include "unit/harness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The stand-in on manual.hlp in DESTINATION, as "S T A R T" composes it.
void ComposeRun(const std::string& destination, const std::string& decompiler = StandinPath())
{
    StoreText(AppState.decompilerPath, {decompiler.c_str()});
    StoreText(AppState.pickedFile, {"manual.hlp"});
    StoreText(AppState.destDir, {destination.c_str()});
    ASSERT_TRUE(ComposeRunCommand());
}

void ExpectRun(const std::string& actions, const std::string& expected, const std::string& label)
{
    const RunResult result = RunStandin(actions);
    EXPECT_TRUE(expected == result.log) << label << ": expected " << expected.size() << " bytes ["
                                        << expected.substr(0, 300) << "], the log holds " << result.log.size()
                                        << " [" << result.log.substr(0, 300) << "]";
    EXPECT_EQ(kLogTextLimit, result.limit) << label;
    EXPECT_TRUE(result.buttonsEnabled) << label;
    EXPECT_TRUE(result.atEnd) << label << ": the caret or the scroll bar is not at the end";
}

std::string ExitLine(const char* code)
{
    return std::string("The decompiler ended with exit code ") + code + ".\r\n";
}

}  // namespace

TEST(Run, LogHoldsWhatTheChildWroteAndWhyItEnded)
{
    struct Row
    {
        const char* actions;
        std::string expected;
    } rows[] = {
        {"exit=0", ""},
        {"text=10240/1024", KnownText(10240)},
        {"text=20000/333", KnownText(20000)},
        {"stdout=out 1\r\n;stderr=err 2\r\n;stdout=out 3\r\n;stderr=err 4\r\n", "out 1\r\nerr 2\r\nout 3\r\nerr 4\r\n"},
        {"stdout=first\r;sleep=300;stdout=\nsecond", "first\r\nsecond"},
        {"nul;stdout= and more", "beforeafter and more"},
        {"keywait", "Press any key to continue\r\nkey read\r\n"},
        {"stdout=child\r\n;grandchild=1500", "child\r\ngrandchild done\r\n"},
        {"stdout=done\r\n;exit=3", "done\r\n" + ExitLine("3")},
        {"text=5000/1000;crash", KnownText(5000) + "\r\n" + ExitLine("0xC0000005")},  // on a line of its own
    };
    ComposeRun(FreshFolder("run"));
    for (const Row& row : rows)
        ExpectRun(row.actions, row.expected, row.actions);
}

TEST(Run, ChildThatCannotStartIsToldInTheLog)
{
    const std::string folder = FreshFolder("start-failures");
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    ComposeRun(folder + "\\missing");
    ExpectRun("", StartFailure(AppState.commandLine, folder + "\\missing", ERROR_DIRECTORY), "no destination");
    ComposeRun(folder, folder + "\\HELPDECO.EXE");
    ExpectRun("", StartFailure(AppState.commandLine, folder, ERROR_FILE_NOT_FOUND), "no decompiler");
    ComposeUsageCommand();
    ExpectRun("", StartFailure(AppState.commandLine, current, ERROR_FILE_NOT_FOUND), "usage, no decompiler");
}

// The pipe is read to its end whatever the log takes, so the child never
// blocks. Wine's rich edit stretches its limit to take an append that would
// pass it, so the log is checked up to the limit.
TEST(Run, OutputPastTheLogsBoundEndsTheRun)
{
    ComposeRun(FreshFolder("past-the-bound"));
    const RunResult result = RunStandin("text=5242880/65536");
    EXPECT_EQ(kLogTextLimit, result.limit);
    EXPECT_GE(result.log.size(), static_cast<size_t>(kLogTextLimit));
    EXPECT_TRUE(KnownText(result.log.size()) == result.log) << "the log is not the start of the output";
    EXPECT_TRUE(result.atEnd);
}

// "NONE" exactly means the program's own current directory.
TEST(Run, OnlyUpperCaseNoneMeansTheCurrentDirectory)
{
    const std::string folder = FreshFolder("none");
    CreateDirectoryA((folder + "\\none").c_str(), nullptr);
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(folder.c_str());
    for (const std::string destination : {"NONE", "none", "None"}) {
        ComposeRun(destination);
        RunStandin("record=" + folder + "\\record.txt");
        const std::string expected = folder + (destination == "NONE" ? "" : "\\none");
        EXPECT_EQ(0, lstrcmpiA(expected.c_str(), ReadRecord(folder + "\\record.txt").directory.c_str())) << destination;
    }
    SetCurrentDirectoryA(previous);
}

// "a" and N two-byte characters in one write: from N = 512 on, the first
// read of 1024 bytes ends on a lead byte.
TEST(DoubleByte, CharacterSplitBetweenReadsArrivesWhole)
{
    ASSERT_EQ(932u, GetACP()) << "this test needs the code page 932 session";
    ComposeRun(FreshFolder("double-byte"));
    for (unsigned count : {511u, 512u, 1500u}) {
        std::string expected = "a";
        for (unsigned i = 0; i < count; ++i)
            expected += "\x82\xa0";
        ExpectRun("dbcs=" + std::to_string(count), expected, std::to_string(count));
    }
}

// Every kind of run gives back all it took, so the program can stay open
// all day.
TEST(Soak, RunsGiveBackEveryHandleGdiAndUserObject)
{
    const std::string folder = FreshFolder("soak");
    ResourceCounts first = {};
    for (int run = 0; run < 120; ++run) {
        const int kind = run % 4;  // a decompile, the usage run, two that cannot start
        ComposeRun(kind == 2 ? folder + "\\missing" : folder, kind == 3 ? folder + "\\HELPDECO.EXE" : StandinPath());
        if (kind == 1)
            ComposeUsageCommand();
        const std::string log = RunStandin("text=3000/1000;exit=3").log;
        const std::string expected =
            kind < 2 ? KnownText(3000) + "\r\n" + ExitLine("3")
                     : StartFailure(AppState.commandLine, AppState.destDir, kind == 2 ? ERROR_DIRECTORY : ERROR_FILE_NOT_FOUND);
        ASSERT_TRUE(expected == log) << "run " << run << ": [" << log << "]";
        if (run == 0)
            first = CountResources();
    }
    const ResourceCounts last = CountResources();
    printf("handles, GDI and USER objects after the first run: %lu %lu %lu, after the last: %lu %lu %lu\n",
           first.handles, first.gdiObjects, first.userObjects, last.handles, last.gdiObjects, last.userObjects);
    // Wine keeps device contexts in a cache that grows by one (3 GDI objects)
    // the first time more of them are in use at once than ever before.
    EXPECT_LE(last.handles, first.handles);
    EXPECT_LE(last.gdiObjects, first.gdiObjects + 3);
    EXPECT_LE(last.userObjects, first.userObjects);
}
