// The system's file and folder pickers, driven as a user would: typing a
// name into the picker's own field and pressing its own buttons.
#include "e2e/fixture.h"

#include <shlobj.h>

using namespace e2e;

namespace {

const int kFileTypeCombo = 0x470;  // cmb1 of the open-file picker

}  // namespace

TEST_F(ProgramTest, FilePickerPutsConfirmedFileIntoField)
{
    const std::string helpFile = JoinPath(MakeSubfolder(folder_, "help docs"), "manual.hlp");
    WriteWholeFile(helpFile, "not really a help file");
    ASSERT_TRUE(StartAtMainWindow(RecordThen("")));
    ASSERT_TRUE(FillFields("old.hlp", folder_));

    ASSERT_TRUE(Click(main_, IDC_BROWSE_HELP_FILE));
    HWND picker = nullptr;
    ASSERT_TRUE(WaitForFilePicker(program_, main_, &picker));
    EXPECT_EQ("WinHelp Files (*.hlp)", ItemText(picker, kFileTypeCombo)) << "the picker's filter";
    ASSERT_TRUE(TypeFileNameAndOpen(picker, helpFile));
    ASSERT_TRUE(WaitForGone(picker, "the file picker"));
    EXPECT_EQ(helpFile, ItemText(main_, IDC_HELP_FILE));

    HWND log = nullptr;
    ASSERT_TRUE(RunToEnd(IDC_START, &log));
    EXPECT_TRUE(Recorded(StandinPath() + " \"" + helpFile + "\" /y"));
}

// A name that names no file is refused with the platform's own message
// and the picker stays; Cancel then leaves the field as it was.
TEST_F(ProgramTest, FilePickerRefusesMissingFileAndCancelKeepsField)
{
    ASSERT_TRUE(StartAtMainWindow(""));
    ASSERT_TRUE(SetItemText(main_, IDC_HELP_FILE, "keep.hlp"));
    ASSERT_TRUE(Click(main_, IDC_BROWSE_HELP_FILE));
    HWND picker = nullptr;
    ASSERT_TRUE(WaitForFilePicker(program_, main_, &picker));
    for (const char* missing : {"missing.hlp", "nowhere\\manual.hlp"}) {
        SCOPED_TRACE(missing);
        ASSERT_TRUE(TypeFileNameAndOpen(picker, JoinPath(folder_, missing)));
        MessageBoxSeen box;
        ASSERT_TRUE(WaitForMessageBox(program_, nullptr, &box));
        EXPECT_EQ(picker, box.owner)
            << "the refusal belongs to the picker; it says '" << box.text << "'";
        ASSERT_TRUE(AnswerMessageBox(box));
        EXPECT_TRUE(IsWindowVisible(picker)) << "the picker closed on a missing file";
    }
    ASSERT_TRUE(Click(picker, IDCANCEL));
    ASSERT_TRUE(WaitForGone(picker, "the file picker"));
    EXPECT_EQ("keep.hlp", ItemText(main_, IDC_HELP_FILE));
}

// A cancelled browse leaves the field, and the next "S T A R T" still runs
// in the folder the field names; a confirmed browse puts the chosen folder
// (the one the browser starts on) into the field.
TEST_F(ProgramTest, FolderBrowseCancelKeepsFieldAndConfirmFillsIt)
{
    const std::string destination = MakeSubfolder(folder_, "out");
    ASSERT_TRUE(StartAtMainWindow(RecordThen("")));
    ASSERT_TRUE(FillFields("manual.hlp", destination));

    ASSERT_TRUE(Click(main_, IDC_BROWSE_DEST_DIR));
    HWND browser = nullptr;
    ASSERT_TRUE(WaitForDialog(program_, kFolderPickerCaption, IDCANCEL, &browser));
    EXPECT_EQ(main_, GetWindow(browser, GW_OWNER));
    bool titleShown = false;
    for (HWND child : ChildrenOf(browser))
        titleShown = titleShown || TextOf(child) == "Select Destination Folder.";
    EXPECT_TRUE(titleShown) << "the browser does not show 'Select Destination Folder.'";
    ASSERT_TRUE(Click(browser, IDCANCEL));
    ASSERT_TRUE(WaitForGone(browser, "the folder browser"));
    EXPECT_EQ(destination, ItemText(main_, IDC_DEST_DIR));

    HWND log = nullptr;
    ASSERT_TRUE(RunToEnd(IDC_START, &log));
    EXPECT_TRUE(Recorded("", destination));
    ASSERT_TRUE(CloseLog(log));

    char desktop[MAX_PATH] = "";
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop)));
    ASSERT_TRUE(Click(main_, IDC_BROWSE_DEST_DIR));
    ASSERT_TRUE(WaitForDialog(program_, kFolderPickerCaption, IDCANCEL, &browser));
    ASSERT_TRUE(Click(browser, IDOK));
    ASSERT_TRUE(WaitForGone(browser, "the folder browser"));
    EXPECT_TRUE(SamePath(desktop, ItemText(main_, IDC_DEST_DIR)))
        << "expected the desktop folder " << desktop << ", the field holds "
        << ItemText(main_, IDC_DEST_DIR);
}

// The path dialog's "Browse ..." picks an executable; picking it does not
// change the help file of the next run, which comes from field 1000.
TEST_F(ProgramTest, DecompilerPickDoesNotChangeHelpFile)
{
    const std::string helpFile = JoinPath(folder_, "manual.hlp");
    WriteWholeFile(helpFile, "not really a help file");
    const std::string decompiler = JoinPath(MakeSubfolder(folder_, "tools"), "decoder.exe");
    ASSERT_TRUE(CopyFileA(StandinPath().c_str(), decompiler.c_str(), FALSE));
    ASSERT_TRUE(StartAtMainWindow(RecordThen("")));
    ASSERT_TRUE(SetItemText(main_, IDC_DEST_DIR, folder_));

    HWND picker = nullptr;
    ASSERT_TRUE(Click(main_, IDC_BROWSE_HELP_FILE));
    ASSERT_TRUE(WaitForFilePicker(program_, main_, &picker));
    ASSERT_TRUE(TypeFileNameAndOpen(picker, helpFile));
    ASSERT_TRUE(WaitForGone(picker, "the file picker"));

    HWND pathDialog = nullptr;
    ASSERT_TRUE(Click(main_, IDC_RESET_DECOMPILER));
    ASSERT_TRUE(WaitForDialog(program_, kProgramCaption, IDC_PATH_FIELD, &pathDialog));
    ASSERT_TRUE(Click(pathDialog, IDC_BROWSE_DECOMPILER));
    ASSERT_TRUE(WaitForFilePicker(program_, pathDialog, &picker));
    EXPECT_EQ("Executable Files (*.exe)", ItemText(picker, kFileTypeCombo))
        << "the picker's filter";
    ASSERT_TRUE(TypeFileNameAndOpen(picker, decompiler));
    ASSERT_TRUE(WaitForGone(picker, "the file picker"));
    EXPECT_EQ(decompiler, ItemText(pathDialog, IDC_PATH_FIELD));
    ASSERT_TRUE(Click(pathDialog, IDOK));
    ASSERT_TRUE(WaitForGone(pathDialog, "the path dialog"));
    EXPECT_EQ(decompiler, ItemText(main_, IDC_DECOMPILER_PATH));

    HWND log = nullptr;
    ASSERT_TRUE(RunToEnd(IDC_START, &log));
    EXPECT_TRUE(Recorded(decompiler + " \"" + helpFile + "\" /y"));
}
