// The settings file, the switches and the two decompiler command lines.
#include "common/files.h"
#include "core/ansi_path.h"
#include "core/app_state.h"
#include "core/command_line.h"
#include "core/help_files.h"
#include "core/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

// The settings file is the program's own path, taken whole, with ".ini" for
// its extension: also where the code page cannot spell the folder or name.
TEST(Settings, PathIsTheProgramsOwnWithIni)
{
    const std::wstring longest(252, L'a');  // 259 with "C:\" and ".ini"
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"C:\\Tools\\Front\\front.exe", L"C:\\Tools\\Front\\front.ini"},
        {L"C:\\My.Tools\\front.beta.exe", L"C:\\My.Tools\\front.beta.ini"},
        {L"C:\\My.Tools\\front", L"C:\\My.Tools\\front.ini"},
        {L"\\\\server\\share\\front.exe", L"\\\\server\\share\\front.ini"},
        {L"C:\\Программа\\Quorvantel.exe", L"C:\\Программа\\Quorvantel.ini"},
        {L"C:\\Ωμέγα\\手册.exe", L"C:\\Ωμέγα\\手册.ini"},
        {L"C:\\" + longest + L".exe", L"C:\\" + longest + L".ini"},
        {L"C:\\" + longest + L"a.exe", L""},  // one character too long: no settings file
        {L"", L""},                            // the system gave no path
    };
    for (const auto& row : rows) {
        StoreText(AppState.settingsPath, {L"stale"});
        DeriveSettingsPath(row.first.c_str());
        EXPECT_EQ(row.second, AppState.settingsPath) << Utf8(row.first);
    }
}

TEST(Settings, FileFollowsTheProfileRules)
{
    // In a folder whose name code page 932 spells only in part.
    const std::string file = FreshFolder("settings Настройки 设置") + "\\front.ini";
    const std::string longest = "C:\\" + std::string(256, 'p');
    StoreText(AppState.settingsPath, {Wide(file).c_str()});
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
        DeleteFileW(Wide(file).c_str());
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
    StoreText(AppState.settingsPath, {L""});
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

// A path reaches the decompiler spelled in the code page: as it stands where
// the code page spells it exactly, else by its short form, else not at all.
TEST(PathSpelling, TheDecompilerGetsAPathItsCodePageSpells)
{
    // A folder past 259 characters, with a short form that is not; the test
    // library cannot remove it, so it goes by hand, before and after.
    const std::wstring outer = Wide(BuildFolder() + "\\scratch\\spelling\\") + std::wstring(130, L'o');
    const std::wstring inner = outer + L"\\" + std::wstring(130, L'i');
    const auto removeDeep = [&] {
        DeleteFileW((inner + L"\\a.hlp").c_str());
        RemoveDirectoryW(inner.c_str());
        RemoveDirectoryW(outer.c_str());
    };
    removeDeep();
    const std::string folder = FreshFolder("spelling"), helpFile = folder + "\\Справка\\手册.hlp";
    for (const std::wstring& made : {outer, inner})
        CreateDirectoryW(made.c_str(), nullptr);
    const std::string deep = Utf8(inner);
    for (const std::string& made : {folder + "\\Справка", folder + "\\Ωμέγα"})
        CreateDirectoryW(Wide(made).c_str(), nullptr);
    for (const std::string& made : {helpFile, folder + "\\café.hlp", deep + "\\a.hlp"})
        WriteWholeFile(made, "");
    ASSERT_GE(deep.size(), static_cast<size_t>(MAX_PATH));
    const std::string notSpelled = "not spelled", tooLong = "too long";
    // Code page, path (UTF-8), what the decompiler is given (in the code page) or why not.
    const std::tuple<UINT, std::string, std::string> rows[] = {
        {1252, folder + "\\café.hlp", folder + "\\caf\xe9.hlp"},
        {1252, helpFile, ShortPath(helpFile)},
        {1252, folder + "\\Ωμέγα", ShortPath(folder + "\\Ωμέγα")},  // no look-alikes: O and the micro sign
        {1252, folder + "\\Справка\\missing.hlp", notSpelled},       // no file, no short form
        {1252, "Справка\\手册.hlp", notSpelled},                         // relative: to which folder?
        {1252, deep + "\\a.hlp", ShortPath(deep + "\\a.hlp")},
        {1252, deep + "\\missing.hlp", tooLong},
        {1252, "C:\\" + std::string(256, 'p'), "C:\\" + std::string(256, 'p')},
        {1252, "NONE", "NONE"},
        {1252, "", ""},
        {932, helpFile, folder + "\\\x84\x52\x84\x81\x84\x82\x84\x70\x84\x72\x84\x7b\x84\x70\\\x8e\xe8\x99\x65.hlp"},
        {932, "C:\\表\\ソフト.hlp", "C:\\\x95\x5c\\\x83\x5c\x83\x74\x83\x67.hlp"},  // trail bytes 0x5C, no backslash
        {932, folder + "\\café.hlp", ShortPath(folder + "\\café.hlp")},
        {CP_UTF8, helpFile, helpFile},
    };
    for (const auto& [codePage, path, given] : rows) {
        char ansi[MAX_PATH] = "stale";
        const PathSpelling spelling = SpellPath(codePage, Wide(path).c_str(), ansi);
        const std::string seen = spelling == PathSpelling::kSpelled ? ansi : spelling == PathSpelling::kTooLong ? tooLong : notSpelled;
        EXPECT_EQ(given, seen) << "code page " << codePage << ", " << path;
        EXPECT_TRUE(spelling == PathSpelling::kSpelled || ansi[0] == '\0') << path;
    }
    removeDeep();
}

// The help-file field: one path as it stands, or several, each in double
// quotation marks with blanks between; anything else is no list.
TEST(HelpFiles, FieldHoldsOnePathOrSeveralQuoted)
{
    const std::vector<std::wstring> malformed = {L"malformed"};
    const std::pair<std::wstring, std::vector<std::wstring>> rows[] = {
        {L"", {}},
        {L"   ", {L"   "}},  // blanks count as a path, as ever
        {L"C:\\My Help\\a.hlp", {L"C:\\My Help\\a.hlp"}},
        {L"\"C:\\a.hlp\"", {L"C:\\a.hlp"}},
        {L" \"C:\\a.hlp\"  \"b c.hlp\" ", {L"C:\\a.hlp", L"b c.hlp"}},
        {L"\"a.hlp\" \"b.hlp", malformed},
        {L"\"a.hlp\"\"b.hlp\"", malformed},
        {L"\"a.hlp\" b.hlp", malformed},
        {L"\"\" \"b.hlp\"", malformed},
    };
    for (const auto& [text, expected] : rows) {
        std::vector<std::wstring> paths;
        if (!SplitHelpFileList(text, paths))
            paths = malformed;
        EXPECT_EQ(expected, paths) << Utf8(text);
    }
    ASSERT_TRUE(StoreHelpFileList({"C:\\a.hlp"}));
    EXPECT_STREQ("C:\\a.hlp", AppState.helpFileList);
    ASSERT_TRUE(StoreHelpFileList({"C:\\CD\\a.hlp", "C:\\CD\\sub\\b.hlp"}));
    EXPECT_STREQ("\"C:\\CD\\a.hlp\" \"C:\\CD\\sub\\b.hlp\"", AppState.helpFileList);
    const std::vector<std::string> most(kMaxHelpFiles, "C:\\" + std::string(256, 'h'));
    EXPECT_TRUE(StoreHelpFileList(most)) << "the most help files, of the longest paths";
    EXPECT_FALSE(StoreHelpFileList(std::vector<std::string>(kMaxHelpFiles + 1, "a.hlp")));
}

// Each help file of a batch gets a folder of its own in the destination,
// named after it; a name taken earlier in the batch gets " (2)", " (3)". A
// help file is found from the destination, as a single run finds it.
TEST(HelpFiles, EachHasAFolderOfItsOwnInTheDestination)
{
    ASSERT_EQ(932u, GetACP()) << "folder names are tested in the two-byte code page 932";
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, current);
    const std::string here = current, deep = "C:\\" + std::string(250, 'o');  // 253 characters
    // The destination, then each help file with the path it runs on and its folder.
    const std::vector<std::pair<std::string, std::vector<std::tuple<std::string, std::string, std::string>>>> rows = {
        {"C:\\out", {{"C:\\CD\\a.hlp", "C:\\CD\\a.hlp", "C:\\out\\a"},
                     {"C:\\CD\\sub\\A.HLP", "C:\\CD\\sub\\A.HLP", "C:\\out\\A (2)"},
                     {"D:\\a", "D:\\a", "C:\\out\\a (3)"},
                     {"b (2).hlp", "C:\\out\\b (2).hlp", "C:\\out\\b (2)"},
                     {"x\\b.hlp", "C:\\out\\x\\b.hlp", "C:\\out\\b"},
                     {"\\y\\b.hlp", "C:\\y\\b.hlp", "C:\\out\\b (3)"},
                     {"D:b.hlp", "D:b.hlp", "C:\\out\\b (4)"},
                     {"\\\\srv\\share\\v..hlp", "\\\\srv\\share\\v..hlp", "C:\\out\\v"},
                     {"C:\\CD\\.hlp", "C:\\CD\\.hlp", "C:\\out\\help file"}}},
        {"C:\\", {{"a.hlp", "C:\\a.hlp", "C:\\a"}, {"C:\\CD\\a.hlp", "C:\\CD\\a.hlp", "C:\\a (2)"}}},
        // 0x5C ends a two-byte character here, no folder
        {"C:\\\x95\x5c", {{"\x83\x5c.hlp", "C:\\\x95\x5c\\\x83\x5c.hlp", "C:\\\x95\x5c\\\x83\x5c"},
                         {"C:\\\x83\x5c.hlp", "C:\\\x83\x5c.hlp", "C:\\\x95\x5c\\\x83\x5c (2)"}}},
        {"NONE", {{"a.hlp", here + "\\a.hlp", here + "\\a"}, {"b.hlp", here + "\\b.hlp", here + "\\b"}}},
        {deep, {{"C:\\a.hlp", "C:\\a.hlp", deep + "\\a"}, {"C:\\bcdefg.hlp", "C:\\bcdefg.hlp", ""}}},
        {deep, {{"abcd.hlp", "abcd.hlp", ""}}},  // left as given, for the warning to name
    };
    for (const auto& [destination, files] : rows) {
        StoreText(AppState.destDir, {destination.c_str()});
        for (size_t i = 0; i < files.size(); ++i) {
            const auto& [helpFile, runsOn, folder] = files[i];
            StoreText(AppState.batch[i].helpFile, {helpFile.c_str()});
            EXPECT_EQ(!folder.empty(), PlanBatchFile(static_cast<int>(i))) << destination << ", " << helpFile;
            EXPECT_EQ(runsOn, AppState.batch[i].helpFile) << destination << ", " << helpFile;
            EXPECT_EQ(folder, AppState.batch[i].folder) << destination << ", " << helpFile;
        }
    }
}
