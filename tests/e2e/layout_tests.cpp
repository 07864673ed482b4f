// The windows as they are drawn: every template against the plan of its
// window below, and the live windows of the program against their
// templates, control by control and pixel by pixel.
#include "e2e/fixture.h"
#include "e2e/layout.h"

#include <commctrl.h>
#include <richedit.h>

using namespace e2e;

namespace {

const int kNoId = -1;
const DWORD kTab = WS_TABSTOP;

// Columns: id, class, text (nullptr: an image), x, y, width, height in
// dialog units, control type, style bits required, style bits ruled out.
const DialogPlan kMainWindow = {
    IDD_MAIN, "Quorvantel", 279, 249,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_CENTER | DS_SETFONT |
        DS_ABSALIGN,
    WS_MAXIMIZEBOX | WS_THICKFRAME,
    {
        {kNoId, "Static", nullptr, 10, 227, 258, 15, SS_BITMAP, 0, kTab},
        {kNoId, "Static", nullptr, 7, 7, 265, 31, SS_BITMAP, 0, kTab},
        {kNoId, "Button", "", 7, 43, 265, 77, BS_GROUPBOX, BS_FLAT, kTab},
        {kNoId, "Static", "WinHelp File To Decompile : ", 15, 51, 153, 8, SS_LEFT, 0, kTab},
        {kNoId, "Button", "", 7, 124, 265, 49, BS_GROUPBOX, BS_FLAT, kTab},
        {kNoId, "Button", "", 7, 178, 265, 44, BS_GROUPBOX, BS_FLAT, kTab},
        {IDC_HELP_FILE, "Edit", "", 15, 64, 194, 14, 0, WS_BORDER | ES_AUTOHSCROLL | kTab,
         ES_READONLY | WS_DISABLED},
        {IDC_BROWSE_HELP_FILE, "Button", "Browse ...", 215, 64, 50, 14, BS_PUSHBUTTON, kTab, 0},
        {IDC_DEST_DIR, "Edit", "", 16, 101, 193, 14, 0, WS_BORDER | ES_AUTOHSCROLL | kTab,
         ES_READONLY | WS_DISABLED},
        {IDC_BROWSE_DEST_DIR, "Button", "Browse ...", 215, 101, 50, 14, BS_PUSHBUTTON, kTab, 0},
        {kNoId, "Static", "Destination Directory : ", 17, 86, 153, 8, SS_LEFT, 0, kTab},
        {kNoId, "Static", "Current Options : ", 14, 132, 56, 8, SS_LEFT, 0, kTab},
        {IDC_SWITCHES, "Edit", "", 70, 132, 136, 14, 0, WS_DISABLED | kTab, WS_BORDER},
        {IDC_CHANGE_OPTIONS, "Button", "Change ...", 14, 147, 50, 14, BS_PUSHBUTTON, kTab, 0},
        {IDC_USAGE, "Button", "", 67, 147, 18, 15, BS_PUSHBUTTON, BS_FLAT | BS_BITMAP | kTab, 0},
        {IDC_START, "Button", "S T A R T", 215, 134, 50, 35, BS_DEFPUSHBUTTON, kTab, 0},
        {kNoId, "Static", "Decompiler Path : ", 13, 186, 153, 8, SS_LEFT, 0, kTab},
        {IDC_DECOMPILER_PATH, "Edit", "", 13, 199, 197, 14, 0, WS_DISABLED | WS_BORDER | kTab, 0},
        {IDC_RESET_DECOMPILER, "Button", "Reset ...", 215, 199, 50, 14, BS_PUSHBUTTON, kTab, 0},
    }};

const DialogPlan kPathDialog = {
    IDD_DECOMPILER_PATH, "Quorvantel", 240, 70,
    WS_POPUP | WS_CAPTION | DS_CENTER | DS_SETFONT,
    WS_SYSMENU,
    {
        {IDOK, "Button", "OK", 126, 49, 50, 14, BS_DEFPUSHBUTTON, kTab, 0},
        {IDCANCEL, "Button", "Cancel", 183, 49, 50, 14, BS_PUSHBUTTON, kTab, 0},
        {kNoId, "Static", "Set Deompiler Path ( HELPDECO.EXE ) : ", 7, 7, 164, 8, SS_LEFT, 0,
         kTab},
        {IDC_PATH_FIELD, "Edit", "", 5, 22, 172, 14, 0, WS_BORDER | ES_AUTOHSCROLL | kTab,
         ES_READONLY},
        {IDC_BROWSE_DECOMPILER, "Button", "Browse ...", 183, 23, 50, 14, BS_PUSHBUTTON, kTab, 0},
    }};

const DialogPlan kLogWindow = {
    IDD_LOG, "Decompiler Log : ", 337, 225,
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT,
    WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME,
    {
        {IDC_LOG_TEXT, "RICHEDIT", "", 7, 6, 323, 191, 0,
         ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_BORDER | kTab,
         0},
        {IDOK, "Button", "Close", 280, 204, 50, 14, BS_PUSHBUTTON, WS_DISABLED | kTab, 0},
        {IDC_COPY_TO_CLIPBOARD, "Button", "Copy To Clipboard", 204, 204, 70, 14, BS_PUSHBUTTON,
         WS_DISABLED | kTab, 0},
    }};

const DialogPlan kProgressBox = {
    IDD_PROGRESS, "", 176, 75,
    WS_POPUP | DS_MODALFRAME | DS_CENTER | DS_SETFONT,
    WS_CAPTION | WS_SYSMENU,
    {
        {kNoId, "Static", nullptr, 29, 22, 20, 20, SS_ICON, 0, kTab},
        {kNoId, "Static", "Please Wait Processing ...", 58, 24, 66, 20, SS_LEFT, 0, kTab},
        {IDC_PROGRESS_BAR, "msctls_progress32", "", 27, 51, 123, 6, 0, WS_BORDER, kTab},
    }};

const DialogPlan kOptionsDialog = {
    IDD_OPTIONS, "Decompiler Options : ", 266, 158,
    WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT,
    WS_SYSMENU,
    {
        {IDOK, "Button", "OK", 155, 137, 50, 14, BS_DEFPUSHBUTTON, kTab, 0},
        {IDCANCEL, "Button", "Cancel", 209, 137, 50, 14, BS_PUSHBUTTON, kTab, 0},
        {kNoId, "Button", "", 7, 7, 252, 120, BS_GROUPBOX, BS_FLAT, kTab},
        {kNoId, "Static", "General Options : ", 12, 15, 114, 8, SS_LEFT, 0, kTab},
        {kNoId, "Static", "Listing Only : ", 13, 81, 114, 8, SS_LEFT, 0, kTab},
        {IDC_OPTION_OVERWRITE, "Button", "OverWrite [/y]", 14, 28, 98, 10, BS_AUTOCHECKBOX,
         WS_DISABLED | kTab, 0},
        {IDC_OPTION_BROWSE_SEQUENCE, "Button", "Stop Resolving Browse Sequence [/b]", 14, 42, 145,
         10, BS_AUTOCHECKBOX, kTab, WS_DISABLED},
        {IDC_OPTION_CNT, "Button", "Generate .CNT [/c] ", 14, 56, 84, 10, BS_AUTOCHECKBOX, kTab,
         WS_DISABLED},
        {IDC_OPTION_MACROS, "Button", "Stop Marse Macro [/m]", 160, 27, 89, 10, BS_AUTOCHECKBOX,
         kTab, WS_DISABLED},
        {IDC_OPTION_GUESSING, "Button", "Turn Off Guissing [/g]", 160, 41, 88, 10, BS_AUTOCHECKBOX,
         kTab, WS_DISABLED},
        {IDC_OPTION_DIRECTORY, "Button", "Display Internel Directory [/d]", 14, 96, 118, 10,
         BS_AUTOCHECKBOX, kTab, WS_DISABLED},
        {IDC_OPTION_HEX_DUMP, "Button", "Display HEX Dump [/x] ", 14, 111, 91, 10,
         BS_AUTOCHECKBOX, kTab, WS_DISABLED},
    }};

}  // namespace

TEST(Templates, MatchThePlans)
{
    for (const DialogPlan* plan :
         {&kMainWindow, &kPathDialog, &kLogWindow, &kProgressBox, &kOptionsDialog}) {
        SCOPED_TRACE("template " + std::to_string(plan->templateId));
        EXPECT_TRUE(TemplateMatchesPlan(*plan));
    }
}

TEST_F(ProgramTest, MainWindowMatchesTemplate)
{
    ASSERT_TRUE(StartAtMainWindow(""));
    EXPECT_TRUE(DialogMatchesTemplate(main_, IDD_MAIN, 0));
    DWORD_PTR image = 0;
    ASSERT_TRUE(SendBounded(GetDlgItem(main_, IDC_USAGE), BM_GETIMAGE, IMAGE_BITMAP, 0, &image));
    EXPECT_NE(0u, image) << "the usage button shows no bitmap";
    EXPECT_EQ(GetDlgItem(main_, IDC_HELP_FILE), FocusOf(main_)) << "the focus starts on 1000";
}

TEST_F(ProgramTest, LogWindowMatchesTemplate)
{
    ASSERT_TRUE(StartAtMainWindow("lines=60"));
    ASSERT_TRUE(FillFields("manual.hlp", folder_));
    HWND log = nullptr;
    ASSERT_TRUE(RunToEnd(IDC_START, &log));
    // The run enables the buttons; the text shows or hides its scroll bars.
    EXPECT_TRUE(DialogMatchesTemplate(log, IDD_LOG, WS_DISABLED | WS_VSCROLL | WS_HSCROLL));
    EXPECT_EQ(GetDlgItem(log, IDC_LOG_TEXT), FocusOf(log)) << "the log text has the focus";
    ASSERT_TRUE(CloseLog(log));
}

TEST_F(ProgramTest, PathAndOptionsDialogsMatchTemplates)
{
    ASSERT_TRUE(StartAtMainWindow(""));
    HWND dialog = nullptr;
    ASSERT_TRUE(Click(main_, IDC_RESET_DECOMPILER));
    ASSERT_TRUE(WaitForDialog(program_, kProgramCaption, IDC_PATH_FIELD, &dialog));
    EXPECT_TRUE(DialogMatchesTemplate(dialog, IDD_DECOMPILER_PATH, 0));
    PostCommand(dialog, IDCANCEL);
    ASSERT_TRUE(WaitForGone(dialog, "the path dialog"));

    ASSERT_TRUE(Click(main_, IDC_CHANGE_OPTIONS));
    ASSERT_TRUE(WaitForDialog(program_, kOptionsCaption, IDC_OPTION_OVERWRITE, &dialog));
    // The program checks box 1015 itself; its style does not change.
    EXPECT_TRUE(DialogMatchesTemplate(dialog, IDD_OPTIONS, 0));
    PostCommand(dialog, IDCANCEL);
    ASSERT_TRUE(WaitForGone(dialog, "the options dialog"));
}
