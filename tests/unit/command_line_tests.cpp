// Switches and the two decompiler command lines, to the byte.
#include <gtest/gtest.h>

#include "core/app_state.h"
#include "core/command_line.h"

#include <cstring>
#include <string>

TEST(BuildSwitches, FollowsBoxOrder)
{
    struct Row
    {
        const char* label;
        bool ticked[kOptionalSwitchCount];  // boxes 1016 to 1021
        const char* expected;
    };
    const Row rows[] = {
        {"none ticked", {false, false, false, false, false, false}, " /y"},
        {"1016 only", {true, false, false, false, false, false}, " /y /b"},
        {"1017 only", {false, true, false, false, false, false}, " /y /c"},
        {"1018 only", {false, false, true, false, false, false}, " /y /m"},
        {"1019 only", {false, false, false, true, false, false}, " /y /g"},
        {"1020 only", {false, false, false, false, true, false}, " /y /d"},
        {"1021 only", {false, false, false, false, false, true}, " /y /x"},
        {"1016 and 1021", {true, false, false, false, false, true}, " /y /b /x"},
        {"all six", {true, true, true, true, true, true}, " /y /b /c /m /g /d /x"},
    };
    for (const Row& row : rows) {
        // A full set first: each build must start afresh, not append.
        const bool all[kOptionalSwitchCount] = {true, true, true, true, true, true};
        BuildSwitches(all);
        BuildSwitches(row.ticked);
        EXPECT_STREQ(row.expected, AppState.switches) << row.label;
    }
}

namespace {

void SetRunInputs(const std::string& decompiler, const std::string& helpFile, const char* switches)
{
    ASSERT_TRUE(StoreText(AppState.decompilerPath, {decompiler.c_str()}));
    ASSERT_TRUE(StoreText(AppState.pickedFile, {helpFile.c_str()}));
    ASSERT_TRUE(StoreText(AppState.switches, {switches}));
    StoreText(AppState.commandLine, {"stale"});
}

}  // namespace

TEST(ComposeRunCommand, PlacesDecompilerQuotedFileAndSwitches)
{
    struct Row
    {
        const char* label;
        const char* decompiler;
        const char* helpFile;
        const char* switches;
        const char* expected;
    };
    const Row rows[] = {
        {"example run", "C:\\Tools\\HELPDECO.EXE", "C:\\Help\\manual.hlp", " /y /c /x",
         "C:\\Tools\\HELPDECO.EXE \"C:\\Help\\manual.hlp\" /y /c /x"},
        {"no option", "C:\\Tools\\HELPDECO.EXE", "C:\\Help\\manual.hlp", " /y",
         "C:\\Tools\\HELPDECO.EXE \"C:\\Help\\manual.hlp\" /y"},
        {"blank in decompiler path", "C:\\Program Files\\HELPDECO.EXE", "C:\\My Help\\a.hlp", " /y",
         "\"C:\\Program Files\\HELPDECO.EXE\" \"C:\\My Help\\a.hlp\" /y"},
        {"tab in decompiler path", "C:\\Tools\\\tDECO.EXE", "a.hlp", " /y",
         "\"C:\\Tools\\\tDECO.EXE\" \"a.hlp\" /y"},
        {"already quoted", "\"C:\\Program Files\\HELPDECO.EXE\"", "a.hlp", " /y",
         "\"C:\\Program Files\\HELPDECO.EXE\" \"a.hlp\" /y"},
        {"relative help file as typed", "HELPDECO", "..\\help\\a.hlp", " /y /d",
         "HELPDECO \"..\\help\\a.hlp\" /y /d"},
    };
    for (const Row& row : rows) {
        SetRunInputs(row.decompiler, row.helpFile, row.switches);
        EXPECT_TRUE(ComposeRunCommand()) << row.label;
        EXPECT_STREQ(row.expected, AppState.commandLine) << row.label;
    }
}

// The line holds 499 characters; one more and nothing is run, rather than a
// shortened line that would name another file or drop switches.
TEST(ComposeRunCommand, RefusesLineBeyond499Characters)
{
    struct Row
    {
        const char* label;
        size_t decompilerLength;
        bool blank;  // a blank in the decompiler path adds two quotation marks
        size_t fileLength;
        bool fits;
    };
    // Decompiler + 2 + file + 1 + 21 switches.
    const Row rows[] = {
        {"499 characters", 250, false, 225, true},
        {"500 characters", 250, false, 226, false},
        {"499 with quoted decompiler", 248, true, 225, true},
        {"500 with quoted decompiler", 248, true, 226, false},
        {"both fields full", 259, false, 259, false},
    };
    for (const Row& row : rows) {
        std::string decompiler(row.decompilerLength, 'd');
        if (row.blank)
            decompiler[10] = ' ';
        SetRunInputs(decompiler, std::string(row.fileLength, 'f'), " /y /b /c /m /g /d /x");
        const bool composed = ComposeRunCommand();
        EXPECT_EQ(row.fits, composed) << row.label;
        const std::string quote = row.blank ? "\"" : "";
        const std::string expected =
            row.fits ? quote + decompiler + quote + " \"" + std::string(row.fileLength, 'f') +
                           "\" /y /b /c /m /g /d /x"
                     : "";
        EXPECT_EQ(expected, AppState.commandLine) << row.label;
        EXPECT_EQ(row.fits ? 499u : 0u, strlen(AppState.commandLine)) << row.label;
    }
}

TEST(ComposeUsageCommand, RunsDecompilerAloneWithoutWorkingDirectory)
{
    struct Row
    {
        const char* label;
        const char* decompiler;
        const char* expected;
    };
    const Row rows[] = {
        {"plain path", "C:\\Tools\\HELPDECO.EXE", "C:\\Tools\\HELPDECO.EXE"},
        {"blank in path", "C:\\Program Files\\HELPDECO.EXE", "\"C:\\Program Files\\HELPDECO.EXE\""},
        {"already quoted", "\"C:\\Program Files\\D.EXE\"", "\"C:\\Program Files\\D.EXE\""},
    };
    for (const Row& row : rows) {
        SetRunInputs(row.decompiler, "C:\\Help\\manual.hlp", " /y /c");
        StoreText(AppState.destDir, {"C:\\Out"});
        ComposeUsageCommand();
        EXPECT_STREQ(row.expected, AppState.commandLine) << row.label;
        EXPECT_STREQ("NONE", AppState.destDir) << row.label;
    }
}
