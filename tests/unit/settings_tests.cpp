// The settings file: where it is, and what survives a write and a read.
#include <gtest/gtest.h>

#include "core/app_state.h"
#include "core/settings.h"
#include "test_support.h"

#include <string>

namespace {

// What the derived settings path should be.
enum class Expect { Given, OwnModule, Empty };

struct SettingsPathCase
{
    const char* label;
    std::string commandLine;
    Expect expect;
    std::string given;
};

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

void CheckSettingsPaths(const std::vector<SettingsPathCase>& cases)
{
    for (const SettingsPathCase& row : cases) {
        StoreText(AppState.settingsPath, {"stale"});
        DeriveSettingsPath(row.commandLine.c_str());
        const std::string expected = row.expect == Expect::Given       ? row.given
                                     : row.expect == Expect::OwnModule ? ModuleSettingsPath()
                                                                       : std::string();
        EXPECT_EQ(expected, AppState.settingsPath)
            << row.label << ": command line [" << row.commandLine << "]";
    }
}

}  // namespace

TEST(DeriveSettingsPath, TakesQuotedFullPathOrOwnModule)
{
    const std::string fits(252, 'a');  // "C:\" + 252 + ".ini" is 259 characters
    CheckSettingsPaths({
        {"shell start", Quoted("C:\\Tools\\Front\\front.exe"), Expect::Given,
         "C:\\Tools\\Front\\front.ini"},
        {"dots in folder and name", Quoted("C:\\My.Tools\\front.beta.exe"), Expect::Given,
         "C:\\My.Tools\\front.beta.ini"},
        {"arguments after the head", Quoted("C:\\My.Tools\\front.beta.exe") + " \"C:\\a.b\\m.hlp\" /x",
         Expect::Given, "C:\\My.Tools\\front.beta.ini"},
        {"no extension, dotted folder", Quoted("C:\\My.Tools\\front"), Expect::Given,
         "C:\\My.Tools\\front.ini"},
        {"forward slashes", Quoted("C:/My.Tools/front"), Expect::Given, "C:/My.Tools/front.ini"},
        {"blank in folder", Quoted("C:\\Program Files\\front.exe"), Expect::Given,
         "C:\\Program Files\\front.ini"},
        {"network path", Quoted("\\\\server\\share\\front.exe"), Expect::Given,
         "\\\\server\\share\\front.ini"},
        {"longest that fits", Quoted("C:\\" + fits), Expect::Given, "C:\\" + fits + ".ini"},
        {"longest with extension", Quoted("C:\\" + fits + ".exe"), Expect::Given,
         "C:\\" + fits + ".ini"},
        {"one beyond the limit", Quoted("C:\\" + fits + "a"), Expect::Empty, ""},
        {"unquoted full path", "C:\\Tools\\front.exe", Expect::OwnModule, ""},
        {"bare name", "front", Expect::OwnModule, ""},
        {"bare name with arguments", "front.exe C:\\m.hlp", Expect::OwnModule, ""},
        {"quoted relative path", Quoted("Tools\\front.exe"), Expect::OwnModule, ""},
        {"quoted drive-relative path", Quoted("C:front.exe"), Expect::OwnModule, ""},
        {"dot-relative path", ".\\front.exe", Expect::OwnModule, ""},
        {"unclosed quote", "\"C:\\Tools\\front.exe", Expect::OwnModule, ""},
        {"empty command line", "", Expect::OwnModule, ""},
    });
}

// A quoted full path whose settings path cannot fit must leave no settings
// file at all. Disabled while DeriveSettingsPath still falls back to the
// module's own path when the quoted head alone exceeds MAX_PATH.
TEST(DeriveSettingsPath, QuotedHeadBeyondPathLimitGivesNoSettingsFile)
{
    CheckSettingsPaths({
        {"head of 260 characters", Quoted("C:\\" + std::string(253, 'a') + ".exe"), Expect::Empty, ""},
        {"head of 300 characters", Quoted("C:\\" + std::string(293, 'a') + ".exe"), Expect::Empty, ""},
    });
}

// Code page 932: the trail byte of 0x95 0x5C looks like a backslash, and
// must not hide the dot before it.
TEST(DoubleByte, SettingsPathKeepsDotBeforeTrailByteBackslash)
{
    ASSERT_EQ(932u, GetACP()) << "this test needs the code page 932 session";
    CheckSettingsPaths({
        {"extension with trail byte 0x5C", Quoted("C:\\Tools\\front.\x95\x5C"), Expect::Given,
         "C:\\Tools\\front.ini"},
        {"name with trail byte 0x5C", Quoted("C:\\a.b\\\x95\x5C.exe"), Expect::Given,
         "C:\\a.b\\\x95\x5C.ini"},
    });
}

class SettingsFile : public testing::Test
{
protected:
    void SetUp() override
    {
        settingsFile_ = scratch_.File("front.ini");
        StoreText(AppState.settingsPath, {settingsFile_.c_str()});
        StoreText(AppState.decompilerPath, {"stale"});
    }

    ScratchFolder scratch_;
    std::string settingsFile_;
};

TEST_F(SettingsFile, SavedPathReadsBack)
{
    SaveDecompilerPath("C:\\Program Files\\Deco\\HELPDECO.EXE");
    EXPECT_STREQ("C:\\Program Files\\Deco\\HELPDECO.EXE", AppState.decompilerPath);

    const std::string content = ReadWholeFile(settingsFile_);
    EXPECT_NE(std::string::npos, content.find("[Config]")) << "file: [" << content << "]";
    EXPECT_NE(std::string::npos, content.find("DecoPath=C:\\Program Files\\Deco\\HELPDECO.EXE"))
        << "written as given, without quotation marks; file: [" << content << "]";

    StoreText(AppState.decompilerPath, {""});
    EXPECT_TRUE(LoadDecompilerPath());
    EXPECT_STREQ("C:\\Program Files\\Deco\\HELPDECO.EXE", AppState.decompilerPath);
}

TEST_F(SettingsFile, SaveReplacesValueAndKeepsOtherSections)
{
    WriteWholeFile(settingsFile_, "[Other]\r\nKey=1\r\n[Config]\r\nDecoPath=C:\\old.exe\r\n");
    SaveDecompilerPath("C:\\new.exe");

    const std::string content = ReadWholeFile(settingsFile_);
    EXPECT_NE(std::string::npos, content.find("Key=1")) << "file: [" << content << "]";
    EXPECT_EQ(std::string::npos, content.find("old.exe")) << "file: [" << content << "]";
    EXPECT_TRUE(LoadDecompilerPath());
    EXPECT_STREQ("C:\\new.exe", AppState.decompilerPath);
}

TEST_F(SettingsFile, LoadFollowsProfileRules)
{
    struct Row
    {
        const char* label;
        const char* content;  // nullptr: no file
        std::string expected;
    };
    const std::string longestPath = "C:\\" + std::string(256, 'p');
    const std::string longestSettings = "[Config]\r\nDecoPath=" + longestPath + "\r\n";
    const std::string overlongSettings = "[Config]\r\nDecoPath=" + longestPath + "q\r\n";
    const Row rows[] = {
        {"plain value", "[Config]\r\nDecoPath=C:\\Deco\\HELPDECO.EXE\r\n", "C:\\Deco\\HELPDECO.EXE"},
        {"quoted value", "[Config]\r\nDecoPath=\"C:\\Program Files\\deco.exe\"\r\n",
         "C:\\Program Files\\deco.exe"},
        {"blanks around value", "[Config]\r\nDecoPath =  C:\\deco.exe  \r\n", "C:\\deco.exe"},
        {"names in other case", "[CONFIG]\r\ndecopath=C:\\deco.exe\r\n", "C:\\deco.exe"},
        {"empty value", "[Config]\r\nDecoPath=\r\n", ""},
        {"blanks only", "[Config]\r\nDecoPath=    \r\n", ""},
        {"key in another section", "[Other]\r\nDecoPath=C:\\deco.exe\r\n[Config]\r\n", ""},
        {"other key only", "[Config]\r\nDecoPath2=C:\\deco.exe\r\n", ""},
        {"longest path, 259 characters", longestSettings.c_str(), longestPath},
        {"longer than a path: no path, not a cut one", overlongSettings.c_str(), ""},
        {"empty file", "", ""},
        {"no file", nullptr, ""},
    };
    for (const Row& row : rows) {
        DeleteFileA(settingsFile_.c_str());
        if (row.content)
            WriteWholeFile(settingsFile_, row.content);
        StoreText(AppState.decompilerPath, {"stale"});
        const bool found = LoadDecompilerPath();
        EXPECT_EQ(row.expected, AppState.decompilerPath) << row.label;
        EXPECT_EQ(!row.expected.empty(), found) << row.label;
    }
}

// With no settings path the profile functions must not be called at all:
// given an empty name they would use the Windows folder.
TEST_F(SettingsFile, NoSettingsPathWritesAndReadsNothing)
{
    StoreText(AppState.settingsPath, {""});
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::vector<std::string> before = ListFiles(windows, "*");

    SaveDecompilerPath("C:\\Deco\\HELPDECO.EXE");
    EXPECT_STREQ("C:\\Deco\\HELPDECO.EXE", AppState.decompilerPath)
        << "the path must hold in memory even though it is not stored";
    EXPECT_EQ(before, ListFiles(windows, "*")) << "a file appeared in " << windows;
    char stored[MAX_PATH] = "";
    GetProfileStringA("Config", "DecoPath", "", stored, sizeof stored);
    EXPECT_STREQ("", stored) << "the path went into win.ini";

    EXPECT_FALSE(LoadDecompilerPath());
    EXPECT_STREQ("", AppState.decompilerPath);
}
