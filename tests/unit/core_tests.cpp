// The settings file, the switches and the two decompiler command lines.
#include "common/files.h"
#include "core/app_state.h"
#include "core/command_line.h"
#include "core/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

TEST(Settings, PathIsTheQuotedHeadOrTheModuleWithIni)
{
    ASSERT_EQ(932u, GetACP()) << "the settings path is tested in the two-byte code page 932";
    const std::string own = BuildFolder() + "\\unit_tests.ini", longest(252, 'a');  // 259 with "C:\" and ".ini"
    const std::pair<std::string, std::string> rows[] = {
        {"\"C:\\Tools\\Front\\front.exe\"", "C:\\Tools\\Front\\front.ini"},
        {"\"C:\\My.Tools\\front.beta.exe\" \"a.hlp\" /x", "C:\\My.Tools\\front.beta.ini"},
        {"\"C:\\My.Tools\\front\"", "C:\\My.Tools\\front.ini"},
        {"\"\\\\server\\share\\front.exe\"", "\\\\server\\share\\front.ini"},
        {"\"C:\\Tools\\front.\x95\x5C\"", "C:\\Tools\\front.ini"},  // 0x5C here is a trail byte, no backslash
        {"\"C:\\a.b\\\x95\x5C.exe\"", "C:\\a.b\\\x95\x5C.ini"},
        {"\"C:\\" + longest + ".exe\"", "C:\\" + longest + ".ini"},
        {"\"C:\\" + longest + "a.exe\"", ""},  // one character too long: no settings file
        {"\"C:\\" + std::string(293, 'a') + ".exe\"", ""},
        {"C:\\My Tools\\front.exe C:\\m.hlp", own},  // unquoted
        {"\"Tools\\front.exe\"", own},
        {"\"C:\\Tools\\front.exe", own},
        {"", own},
    };
    for (const auto& row : rows) {
        StoreText(AppState.settingsPath, {"stale"});
        DeriveSettingsPath(row.first.c_str());
        EXPECT_EQ(row.second, AppState.settingsPath) << "command line [" << row.first << "]";
    }
}

TEST(Settings, FileFollowsTheProfileRules)
{
    const std::string file = FreshFolder("settings") + "\\front.ini", longest = "C:\\" + std::string(256, 'p');
    StoreText(AppState.settingsPath, {file.c_str()});
    const std::pair<std::string, std::string> rows[] = {
        {"[Config]\r\nDecoPath=C:\\Deco\\HELPDECO.EXE\r\n", "C:\\Deco\\HELPDECO.EXE"},
        {"[Config]\r\nDecoPath=\"C:\\Program Files\\d.exe\"\r\n", "C:\\Program Files\\d.exe"},
        {"[CONFIG]\r\ndecopath =  C:\\d.exe  \r\n", "C:\\d.exe"},
        {"[Config]\r\nDecoPath=    \r\n", ""},
        {"[Other]\r\nDecoPath=C:\\d.exe\r\n[Config]\r\n", ""},
        {"[Config]\r\nDecoPath=" + longest + "\r\n", longest},
        {"[Config]\r\nDecoPath=" + longest + "q\r\n", ""},  // never a path cut short
        {"", ""},                                          // no file
    };
    for (const auto& row : rows) {
        DeleteFileA(file.c_str());
        if (!row.first.empty())
            WriteWholeFile(file, row.first);
        StoreText(AppState.decompilerPath, {"stale"});
        EXPECT_EQ(!row.second.empty(), LoadDecompilerPath()) << row.first;
        EXPECT_EQ(row.second, AppState.decompilerPath) << row.first;
    }

    WriteWholeFile(file, "[Other]\r\nKey=kept\r\n[Config]\r\nDecoPath=C:\\old.exe\r\n");
    SaveDecompilerPath("C:\\Program Files\\Deco\\HELPDECO.EXE");
    EXPECT_EQ("[Other]\r\nKey=kept\r\n[Config]\r\nDecoPath=C:\\Program Files\\Deco\\HELPDECO.EXE\r\n",
              ReadWholeFile(file));
}

// Given an empty name, the profile functions would use win.ini (Wine
// refuses it with an error instead): they must not be called at all.
TEST(Settings, NoSettingsPathReadsAndWritesNothing)
{
    StoreText(AppState.settingsPath, {""});
    SetLastError(ERROR_SUCCESS);
    SaveDecompilerPath("C:\\Deco\\HELPDECO.EXE");
    EXPECT_STREQ("C:\\Deco\\HELPDECO.EXE", AppState.decompilerPath) << "the path holds in memory";
    EXPECT_FALSE(LoadDecompilerPath());
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetLastError()) << "a profile function was called";
}

TEST(CommandLine, SwitchesFollowTheBoxOrder)
{
    const struct Row
    {
        bool ticked[kOptionalSwitchCount];
        const char* switches;
    } rows[] = {
        {{0, 0, 0, 0, 0, 0}, " /y"},    {{1, 0, 0, 0, 0, 1}, " /y /b /x"},
        {{0, 1, 0, 1, 0, 0}, " /y /c /g"}, {{0, 0, 1, 0, 1, 0}, " /y /m /d"},
        {{1, 1, 1, 1, 1, 1}, " /y /b /c /m /g /d /x"},
    };
    for (const auto& row : rows) {
        BuildSwitches(rows[4].ticked);  // every box ticked: each build must start afresh
        BuildSwitches(row.ticked);
        EXPECT_STREQ(row.switches, AppState.switches);
    }
}

// Unquoted, "C:\Program Files\x.exe" would make the system try
// "C:\Program.exe" first. A run command holds at most 499 characters:
// decompiler + 2 + help file + 1 + 21 for all seven switches.
TEST(CommandLine, RunAndUsageLinesToTheByte)
{
    const std::string d250(250, 'd'), blank248 = "C:\\a b" + std::string(242, 'd'), all = " /y /b /c /m /g /d /x";
    // The decompiler, help file, switches, run command (empty: refused), usage.
    const std::tuple<std::string, std::string, std::string, std::string, std::string> rows[] = {
        {"C:\\Tools\\HELPDECO.EXE", "C:\\Help\\manual.hlp", " /y /c /x",
         "C:\\Tools\\HELPDECO.EXE \"C:\\Help\\manual.hlp\" /y /c /x", "C:\\Tools\\HELPDECO.EXE"},
        {"C:\\Program Files\\H.EXE", "..\\my help.hlp", " /y", "\"C:\\Program Files\\H.EXE\" \"..\\my help.hlp\" /y",
         "\"C:\\Program Files\\H.EXE\""},
        {"\"C:\\Program Files\\H.EXE\"", "a.hlp", " /y", "\"C:\\Program Files\\H.EXE\" \"a.hlp\" /y",
         "\"C:\\Program Files\\H.EXE\""},
        {d250, std::string(225, 'f'), all, d250 + " \"" + std::string(225, 'f') + "\"" + all, d250},
        {d250, std::string(226, 'f'), all, "", d250},
        {blank248, std::string(226, 'f'), all, "", "\"" + blank248 + "\""},  // the quotes count too
    };
    for (const auto& [decompiler, helpFile, switches, run, usage] : rows) {
        StoreText(AppState.decompilerPath, {decompiler.c_str()});
        StoreText(AppState.pickedFile, {helpFile.c_str()});
        StoreText(AppState.switches, {switches.c_str()});
        StoreText(AppState.destDir, {"C:\\Out"});
        EXPECT_EQ(!run.empty(), ComposeRunCommand()) << decompiler;
        EXPECT_EQ(run, AppState.commandLine) << decompiler;
        ComposeUsageCommand();
        EXPECT_EQ(usage, AppState.commandLine) << decompiler;
        EXPECT_STREQ("NONE", AppState.destDir);
    }
}
