// The first start, the decompiler path dialog, the settings file and the
// options dialog.
#include "e2e/fixture.h"

using namespace e2e;

namespace {

const char kNoPathMessage[] = "Decompiler path is not set.\r\nNow Application will quit.";

std::string StoredPath(const std::string& folder)
{
    char value[MAX_PATH * 2] = "";
    GetPrivateProfileStringA("Config", "DecoPath", "<none>", value, sizeof value,
                             JoinPath(folder, "Quorvantel.ini").c_str());
    return value;
}

}  // namespace

TEST_F(ProgramTest, FirstStartCancelledQuitsWithMessage)
{
    HWND pathDialog = nullptr;
    ASSERT_TRUE(StartAtPathDialog(&pathDialog));
    const std::vector<HWND> dialogs = DialogsOf(program_.processId);
    EXPECT_EQ(1u, dialogs.size()) << "the path dialog comes before any other window; seen: "
                                  << DescribeWindows(program_.processId);
    EXPECT_EQ(nullptr, GetWindow(pathDialog, GW_OWNER)) << "the first-start dialog has no owner";
    ASSERT_TRUE(Click(pathDialog, IDCANCEL));

    MessageBoxSeen box;
    ASSERT_TRUE(WaitForMessageBox(program_, kProgramCaption, &box));
    EXPECT_EQ(kNoPathMessage, box.text);
    EXPECT_EQ(nullptr, box.owner) << "the message has no owner";
    EXPECT_EQ(BoxIcon::Error, box.icon) << "seen " << BoxIconName(box.icon);
    EXPECT_EQ(1, box.buttonCount);
    EXPECT_TRUE(NoDialogAppears(program_, kProgramCaption, IDC_HELP_FILE, 0))
        << "the main window is up behind the message";
    ASSERT_TRUE(AnswerMessageBox(box));

    DWORD exitCode = 1;
    ASSERT_TRUE(WaitForExit(program_, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_FALSE(FileExists(JoinPath(folder_, "Quorvantel.ini"))) << "a cancel wrote settings";
}

TEST_F(ProgramTest, FirstStartStoresTypedPath)
{
    HWND pathDialog = nullptr;
    ASSERT_TRUE(StartAtPathDialog(&pathDialog));
    EXPECT_EQ("Set Deompiler Path ( HELPDECO.EXE ) : ", TextOf(GetDlgItem(pathDialog, 0xFFFF)));
    EXPECT_EQ("", ItemText(pathDialog, IDC_PATH_FIELD));
    EXPECT_EQ(GetDlgItem(pathDialog, IDOK), FocusOf(pathDialog)) << "the focus starts on OK";

    const std::string decompiler = "C:\\Tools\\HELPDECO.EXE";
    ASSERT_TRUE(SetItemText(pathDialog, IDC_PATH_FIELD, decompiler));
    ASSERT_TRUE(Click(pathDialog, IDOK));
    ASSERT_TRUE(WaitForGone(pathDialog, "the path dialog"));
    ASSERT_TRUE(WaitForDialog(program_, kProgramCaption, IDC_HELP_FILE, &main_));
    EXPECT_EQ(decompiler, ItemText(main_, IDC_DECOMPILER_PATH));
    EXPECT_EQ("[Config]\r\nDecoPath=" + decompiler + "\r\n",
              ReadWholeFile(JoinPath(folder_, "Quorvantel.ini")))
        << "the settings file beside the program";
}

// An empty path and one longer than a path can be are refused; the dialog
// stays open and nothing is stored.
TEST_F(ProgramTest, EmptyOrOverlongPathIsRefusedAndDialogStays)
{
    struct Case { const char* name; std::string typed; const char* warning; };
    const Case cases[] = {
        {"empty", "", "Please Enter Decompiler Path."},
        {"260 characters", "C:\\" + std::string(253, 'd') + ".exe",
         "The path is too long.\nA path may have at most 259 characters."},
    };
    HWND pathDialog = nullptr;
    ASSERT_TRUE(StartAtPathDialog(&pathDialog));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(SetItemText(pathDialog, IDC_PATH_FIELD, c.typed));
        ASSERT_TRUE(Click(pathDialog, IDOK));
        MessageBoxSeen box;
        ASSERT_TRUE(WaitForMessageBox(program_, kProgramCaption, &box));
        EXPECT_EQ(c.warning, box.text);
        EXPECT_EQ(pathDialog, box.owner) << "the warning belongs to the path dialog";
        EXPECT_EQ(BoxIcon::Warning, box.icon) << "seen " << BoxIconName(box.icon);
        ASSERT_TRUE(AnswerMessageBox(box));

        EXPECT_TRUE(IsWindowVisible(pathDialog)) << "the dialog closed";
        EXPECT_EQ(c.typed, ItemText(pathDialog, IDC_PATH_FIELD));
        EXPECT_TRUE(NoDialogAppears(program_, kProgramCaption, IDC_HELP_FILE, 0));
        EXPECT_FALSE(FileExists(JoinPath(folder_, "Quorvantel.ini")));
    }
}

// "Reset ..." opens the path dialog empty; Cancel changes nothing, OK
// stores the new path, and the next run uses it.
TEST_F(ProgramTest, ResetCancelKeepsPathAndOkStoresNewOne)
{
    const std::string otherDecompiler = JoinPath(MakeSubfolder(folder_, "tools"), "decoder.exe");
    ASSERT_TRUE(CopyFileA(StandinPath().c_str(), otherDecompiler.c_str(), FALSE));
    ASSERT_TRUE(StartAtMainWindow(RecordThen("")));
    const std::string settingsBefore = ReadWholeFile(JoinPath(folder_, "Quorvantel.ini"));

    HWND pathDialog = nullptr;
    ASSERT_TRUE(Click(main_, IDC_RESET_DECOMPILER));
    ASSERT_TRUE(WaitForDialog(program_, kProgramCaption, IDC_PATH_FIELD, &pathDialog));
    EXPECT_EQ(main_, GetWindow(pathDialog, GW_OWNER));
    EXPECT_EQ("", ItemText(pathDialog, IDC_PATH_FIELD)) << "the field starts empty every time";
    EXPECT_EQ(GetDlgItem(pathDialog, IDOK), FocusOf(pathDialog)) << "the focus starts on OK";
    ASSERT_TRUE(SetItemText(pathDialog, IDC_PATH_FIELD, otherDecompiler));
    ASSERT_TRUE(Click(pathDialog, IDCANCEL));
    ASSERT_TRUE(WaitForGone(pathDialog, "the path dialog"));
    EXPECT_EQ(StandinPath(), ItemText(main_, IDC_DECOMPILER_PATH)) << "Cancel changed the path";
    EXPECT_EQ(settingsBefore, ReadWholeFile(JoinPath(folder_, "Quorvantel.ini")))
        << "Cancel changed the settings file";

    ASSERT_TRUE(Click(main_, IDC_RESET_DECOMPILER));
    ASSERT_TRUE(WaitForDialog(program_, kProgramCaption, IDC_PATH_FIELD, &pathDialog));
    EXPECT_EQ("", ItemText(pathDialog, IDC_PATH_FIELD)) << "the field starts empty every time";
    ASSERT_TRUE(SetItemText(pathDialog, IDC_PATH_FIELD, otherDecompiler));
    ASSERT_TRUE(Click(pathDialog, IDOK));
    ASSERT_TRUE(WaitForGone(pathDialog, "the path dialog"));
    EXPECT_EQ(otherDecompiler, ItemText(main_, IDC_DECOMPILER_PATH));
    EXPECT_EQ(otherDecompiler, StoredPath(folder_));

    ASSERT_TRUE(FillFields("manual.hlp", folder_));
    HWND log = nullptr;
    ASSERT_TRUE(RunToEnd(IDC_START, &log));
    EXPECT_TRUE(Recorded(otherDecompiler + " \"manual.hlp\" /y"));
}

// A path of blanks is taken as typed, but reads back as no path at the
// next start.
TEST_F(ProgramTest, BlankPathIsStoredButAskedForAgain)
{
    HWND pathDialog = nullptr;
    ASSERT_TRUE(StartAtPathDialog(&pathDialog));
    ASSERT_TRUE(SetItemText(pathDialog, IDC_PATH_FIELD, "   "));
    ASSERT_TRUE(Click(pathDialog, IDOK));
    ASSERT_TRUE(WaitForDialog(program_, kProgramCaption, IDC_HELP_FILE, &main_));
    EXPECT_EQ("   ", ItemText(main_, IDC_DECOMPILER_PATH));
    PostClose(main_);
    DWORD exitCode = 1;
    ASSERT_TRUE(WaitForExit(program_, &exitCode));
    EXPECT_EQ(0u, exitCode);
    EndProgram(&program_);

    ASSERT_TRUE(StartAtPathDialog(&pathDialog)) << "a path of blanks counted as a path";
}

TEST_F(ProgramTest, OptionsStartUncheckedAndBuildSwitchesInBoxOrder)
{
    ASSERT_TRUE(StartAtMainWindow(RecordThen("")));
    const int optional[] = {IDC_OPTION_BROWSE_SEQUENCE, IDC_OPTION_CNT,       IDC_OPTION_MACROS,
                            IDC_OPTION_GUESSING,        IDC_OPTION_DIRECTORY, IDC_OPTION_HEX_DUMP};
    struct Row
    {
        const char* label;
        std::vector<int> ticked;  // in the order the user ticks them
        bool cancel;
        std::string switches;  // field 1004 afterwards
    };
    const Row rows[] = {
        {"/x then /b", {IDC_OPTION_HEX_DUMP, IDC_OPTION_BROWSE_SEQUENCE}, false, " /y /b /x"},
        {"all six backwards",
         {IDC_OPTION_HEX_DUMP, IDC_OPTION_DIRECTORY, IDC_OPTION_GUESSING, IDC_OPTION_MACROS,
          IDC_OPTION_CNT, IDC_OPTION_BROWSE_SEQUENCE},
         false,
         " /y /b /c /m /g /d /x"},
        {"cancel keeps the switches", {IDC_OPTION_CNT}, true, " /y /b /c /m /g /d /x"},
        {"nothing ticked", {}, false, " /y"},
        {"/c", {IDC_OPTION_CNT}, false, " /y /c"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        HWND options = nullptr;
        ASSERT_TRUE(Click(main_, IDC_CHANGE_OPTIONS));
        ASSERT_TRUE(WaitForDialog(program_, kOptionsCaption, IDC_OPTION_OVERWRITE, &options));
        EXPECT_EQ(main_, GetWindow(options, GW_OWNER));
        EXPECT_EQ(GetDlgItem(options, IDOK), FocusOf(options)) << "the focus starts on OK";
        EXPECT_TRUE(IsItemChecked(options, IDC_OPTION_OVERWRITE)) << "/y is not checked";
        EXPECT_FALSE(IsItemEnabled(options, IDC_OPTION_OVERWRITE)) << "/y can be cleared";
        for (int box : optional)
            EXPECT_FALSE(IsItemChecked(options, box)) << "box " << box << " starts checked";
        for (int box : row.ticked) {
            ASSERT_TRUE(Click(options, box));
            ASSERT_TRUE(WaitUntil([&] { return IsItemChecked(options, box); }))
                << "box " << box << " did not tick";
        }
        ASSERT_TRUE(Click(options, row.cancel ? IDCANCEL : IDOK));
        ASSERT_TRUE(WaitForGone(options, "the options dialog"));
        EXPECT_EQ(row.switches, ItemText(main_, IDC_SWITCHES));
    }

    // The switches reach the decompiler after the quoted help file.
    ASSERT_TRUE(FillFields("manual.hlp", folder_));
    HWND log = nullptr;
    ASSERT_TRUE(RunToEnd(IDC_START, &log));
    EXPECT_TRUE(Recorded(StandinPath() + " \"manual.hlp\" /y /c"));
}
