// Inputs at and past their limits, damaged settings files, characters of
// the ANSI code page outside ASCII, paths that name the wrong kind of thing,
// and a decompiler path that invites the system to run another program.
// Each has one clear outcome, and nothing the user gave is lost.
#include "reliability/fixture.h"

#include <map>

using namespace e2e;

namespace {

const char kPathTooLong[] = "The path is too long.\nA path may have at most 259 characters.";
const char kCommandTooLong[] = "The command line is too long.\nPlease choose shorter paths.";

std::string StoredValue(const std::string& settings, const char* section, const char* key)
{
    char value[1024] = "";
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, settings.c_str());
    return value;
}

// Every .ini file in a folder with its bytes.
std::map<std::string, std::string> IniFilesIn(const std::string& folder)
{
    std::map<std::string, std::string> files;
    WIN32_FIND_DATAA entry;
    const HANDLE search = FindFirstFileA(JoinPath(folder, "*.ini").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return files;
    do {
        files[entry.cFileName] = ReadWholeFile(JoinPath(folder, entry.cFileName));
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return files;
}

std::string WindowsFolder()
{
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, sizeof folder);
    return folder;
}

// Wine run as root writes read-only files all the same, so the file is
// also held open without sharing while it must not be written.
class WriteBlocker
{
public:
    explicit WriteBlocker(const std::string& path)
        : path_(path),
          holder_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~WriteBlocker() { Release(); }
    WriteBlocker(const WriteBlocker&) = delete;
    WriteBlocker& operator=(const WriteBlocker&) = delete;

    bool Blocks() const
    {
        const HANDLE writer = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        if (writer == INVALID_HANDLE_VALUE)
            return true;
        CloseHandle(writer);
        return false;
    }

    void Release()
    {
        if (holder_ != INVALID_HANDLE_VALUE)
            CloseHandle(holder_);
        holder_ = INVALID_HANDLE_VALUE;
    }

private:
    std::string path_;
    HANDLE holder_;
};

class BadInput : public ReliabilityTest
{
protected:
    // Runs a decompile with the fields as they are and gives the log.
    void RunAndRead(std::string* logText)
    {
        HWND log = nullptr;
        ASSERT_TRUE(RunToEnd(IDC_START, &log));
        *logText = ItemText(log, IDC_LOG_TEXT);
        ASSERT_TRUE(CloseLog(log));
    }

    // The program started with no usable path: the path dialog comes first,
    // takes the stand-in's path, and the main window follows.
    void EnterPathAtFirstStart()
    {
        ASSERT_TRUE(StartProgram(folder_, "", &program_));
        HWND pathDialog = nullptr;
        ASSERT_TRUE(WaitForDialog(program_, kProgramCaption, IDC_PATH_FIELD, &pathDialog,
                                  kStartWaitMs));
        ASSERT_TRUE(SetItemText(pathDialog, IDC_PATH_FIELD, StandinPath()));
        ASSERT_TRUE(Click(pathDialog, IDOK));
        ASSERT_TRUE(WaitForDialog(program_, kProgramCaption, IDC_HELP_FILE, &main_));
        EXPECT_EQ(StandinPath(), ItemText(main_, IDC_DECOMPILER_PATH));
    }

    // After a restart, the main window comes first with the stored path.
    void ExpectPathStoredAcrossRestart(const std::string& path)
    {
        EndProgram(&program_);
        ASSERT_TRUE(StartProgram(folder_, "", &program_));
        HWND first = nullptr;
        ASSERT_TRUE(WaitForDialog(program_, kProgramCaption, 0, &first, kStartWaitMs));
        ASSERT_TRUE(GetDlgItem(first, IDC_DECOMPILER_PATH))
            << "expected the main window after a restart; seen: "
            << DescribeWindows(program_.processId);
        EXPECT_EQ(path, ItemText(first, IDC_DECOMPILER_PATH));
    }

    std::string Settings() const { return JoinPath(folder_, "Quorvantel.ini"); }
};

class Security : public ReliabilityTest
{
};

}  // namespace

// A path of 259 characters is taken whole; a longer one is refused. A
// working directory, though, can have at most 258 characters (a backslash
// is added to it), so the system cannot start the decompiler in a
// destination of 259: the log stays empty, as for any other folder the
// child cannot start in.
TEST_F(BadInput, PathFieldsTakeUpTo259CharactersAndRefuseLonger)
{
    enum class Outcome { Runs, ChildCannotStart, Refused };
    ASSERT_TRUE(StartAtMainWindow(RecordThen("stdout=ran")));
    const std::string destination258 = MakeFolderOfLength(folder_, 258);
    const std::string destination259 = MakeFolderOfLength(folder_, 259);
    ASSERT_TRUE(FileExists(destination258) && FileExists(destination259))
        << "could not make the folders of 258 and 259 characters";
    struct Row
    {
        const char* label;
        std::string helpFile;
        std::string destination;
        Outcome outcome;
    };
    const Row rows[] = {
        {"help file of 259", PathOfLength(259), folder_, Outcome::Runs},
        {"help file of 260", PathOfLength(260), folder_, Outcome::Refused},
        {"help file of 1000", PathOfLength(1000), folder_, Outcome::Refused},
        {"destination of 258", "manual.hlp", destination258, Outcome::Runs},
        {"destination of 259", "manual.hlp", destination259, Outcome::ChildCannotStart},
        {"destination of 260", "manual.hlp", destination259 + "e", Outcome::Refused},
        {"destination of 1000", "manual.hlp", destination259 + std::string(741, 'e'),
         Outcome::Refused},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        ASSERT_TRUE(FillFields(row.helpFile, row.destination));
        if (row.outcome == Outcome::Refused) {
            EXPECT_TRUE(ExpectRefused(kPathTooLong));
            continue;
        }
        std::string logText;
        ASSERT_NO_FATAL_FAILURE(RunAndRead(&logText));
        if (row.outcome == Outcome::ChildCannotStart) {
            EXPECT_FALSE(FileExists(record_)) << "the stand-in ran";
            EXPECT_EQ("", logText);
            continue;
        }
        EXPECT_TRUE(Recorded(StandinPath() + " \"" + row.helpFile + "\" /y", row.destination));
        EXPECT_EQ("ran", logText);
    }
}

// The command holds 499 characters. With fields of at most 259 characters
// the longest command there can be is 544: a quoted decompiler path and a
// help file of 259 each, and all seven switches.
TEST_F(BadInput, CommandRunsUpTo499CharactersAndRefusesLonger)
{
    // decompiler + blank, quote + help file + quote + " /y" = 499
    const size_t decompilerLength = 236;
    const std::string decompiler =
        JoinPath(MakeFolderOfLength(folder_, decompilerLength - 12), "standin.exe");
    ASSERT_EQ(decompilerLength, decompiler.size());
    ASSERT_TRUE(CopyFileA(StandinPath().c_str(), decompiler.c_str(), FALSE));
    ASSERT_TRUE(StartAtMainWindow(RecordThen(""), decompiler));

    ASSERT_TRUE(FillFields(PathOfLength(257), folder_));
    std::string logText;
    ASSERT_NO_FATAL_FAILURE(RunAndRead(&logText));
    const std::string command = decompiler + " \"" + PathOfLength(257) + "\" /y";
    ASSERT_EQ(499u, command.size());
    EXPECT_TRUE(Recorded(command)) << "the command of 499 characters";

    ASSERT_TRUE(FillFields(PathOfLength(258), folder_));
    EXPECT_TRUE(ExpectRefused(kCommandTooLong)) << "a command of 500 characters";

    // Never run, so it need not exist; its blank makes the program quote it.
    const std::string longest = "C:\\Help Tools\\" + std::string(232, 'd') + "\\HELPDECO.EXE";
    ASSERT_EQ(259u, longest.size());
    ASSERT_TRUE(ResetDecompiler(longest));
    ASSERT_TRUE(FillFields(PathOfLength(259), folder_));
    ASSERT_TRUE(Click(main_, IDC_CHANGE_OPTIONS));
    HWND options = nullptr;
    ASSERT_TRUE(WaitForDialog(program_, kOptionsCaption, IDC_OPTION_HEX_DUMP, &options));
    for (int box = IDC_OPTION_BROWSE_SEQUENCE; box <= IDC_OPTION_HEX_DUMP; ++box) {
        ASSERT_TRUE(Click(options, box));
        ASSERT_TRUE(WaitUntil([&] { return IsItemChecked(options, box); }));
    }
    ASSERT_TRUE(Click(options, IDOK));
    ASSERT_TRUE(WaitForGone(options, "the options dialog"));
    EXPECT_TRUE(ExpectRefused(kCommandTooLong)) << "a command of 544 characters";
}

// Garbage, or a file without the program's section: no path is read, the
// path dialog asks for one, and the path entered is stored for the next
// start, beside any other section the file held.
TEST_F(BadInput, DamagedSettingsFileAsksForPathAndStoresIt)
{
    std::string garbage;
    unsigned seed = 7;
    for (int i = 0; i < 4096; ++i) {
        seed = seed * 1103515245u + 12345u;
        garbage.push_back(static_cast<char>(seed >> 16));
    }
    garbage[0] = 'G';  // no byte-order mark by chance
    struct Row
    {
        const char* label;
        std::string contents;
    };
    const Row rows[] = {
        {"garbage bytes", garbage},
        {"no [Config] section", "[Other]\r\nKey=kept\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        WriteWholeFile(Settings(), row.contents);
        ASSERT_NO_FATAL_FAILURE(EnterPathAtFirstStart());
        ASSERT_NO_FATAL_FAILURE(ExpectPathStoredAcrossRestart(StandinPath()));
        EndProgram(&program_);
    }
    EXPECT_EQ("kept", StoredValue(Settings(), "Other", "Key")) << "the other section was lost";
}

// A settings file that cannot be written: the new path holds for this
// process, and the write goes nowhere else.
TEST_F(BadInput, ReadOnlySettingsKeepNewPathInMemoryOnly)
{
    const std::string otherDecompiler = JoinPath(MakeSubfolder(folder_, "tools"), "other.exe");
    ASSERT_TRUE(CopyFileA(StandinPath().c_str(), otherDecompiler.c_str(), FALSE));
    ASSERT_TRUE(StartAtMainWindow(RecordThen("")));
    const std::string settingsBefore = ReadWholeFile(Settings());
    const auto windowsIniBefore = IniFilesIn(WindowsFolder());
    const auto programIniBefore = IniFilesIn(folder_);
    ASSERT_FALSE(windowsIniBefore.empty()) << "no .ini file in " << WindowsFolder();
    ASSERT_TRUE(SetFileAttributesA(Settings().c_str(), FILE_ATTRIBUTE_READONLY));
    WriteBlocker blocker(Settings());
    ASSERT_TRUE(blocker.Blocks()) << "the settings file can still be written";

    ASSERT_TRUE(ResetDecompiler(otherDecompiler));
    ASSERT_TRUE(FillFields("manual.hlp", folder_));
    std::string logText;
    ASSERT_NO_FATAL_FAILURE(RunAndRead(&logText));
    EXPECT_TRUE(Recorded(otherDecompiler + " \"manual.hlp\" /y"));

    blocker.Release();
    EXPECT_EQ(settingsBefore, ReadWholeFile(Settings())) << "the read-only file changed";
    EXPECT_TRUE(windowsIniBefore == IniFilesIn(WindowsFolder()))
        << "an .ini file in " << WindowsFolder() << " changed";
    EXPECT_TRUE(programIniBefore == IniFilesIn(folder_))
        << "an .ini file beside the program changed";
    SetFileAttributesA(Settings().c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Characters of code page 1252 outside ASCII reach the decompiler as they
// were typed, byte for byte.
TEST_F(BadInput, AnsiCharactersOutsideAsciiReachDecompilerExactly)
{
    ASSERT_EQ(1252u, GetACP()) << "this session's ANSI code page";
    ASSERT_TRUE(StartAtMainWindow(RecordThen("")));
    const std::string helpFile = JoinPath(folder_, "\xDC" "bersicht caf\xE9.hlp");
    const std::string destination = MakeSubfolder(folder_, "Ausgabe \xC4\xD6\xDC \xE9\xE8");
    ASSERT_TRUE(FillFields(helpFile, destination));
    std::string logText;
    ASSERT_NO_FATAL_FAILURE(RunAndRead(&logText));
    EXPECT_TRUE(Recorded(StandinPath() + " \"" + helpFile + "\" /y"));
    // Byte for byte: a case-blind comparison would pass a folded name.
    EXPECT_EQ(destination, ReadStandinRecord(record_).workingDirectory);
}

// The child cannot start: the log stays empty and the run ends as any other.
TEST_F(BadInput, PathNamingWrongKindOfThingLeavesEmptyLog)
{
    const std::string folder = MakeSubfolder(folder_, "tools");
    const std::string file = JoinPath(folder_, "notes.txt");
    WriteWholeFile(file, "not a folder\r\n");
    struct Row
    {
        const char* label;
        std::string decompiler;
        std::string destination;
    };
    const Row rows[] = {
        {"decompiler path names a folder", folder, folder_},
        {"destination names a file", StandinPath(), file},
    };
    ASSERT_TRUE(StartAtMainWindow(RecordThen("stdout=ran")));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        ASSERT_TRUE(ResetDecompiler(row.decompiler));
        ASSERT_TRUE(FillFields("manual.hlp", row.destination));
        std::string logText;
        ASSERT_NO_FATAL_FAILURE(RunAndRead(&logText));
        EXPECT_FALSE(FileExists(record_)) << "the stand-in ran: " << ReadWholeFile(record_);
        EXPECT_EQ("", logText);
    }
}

// Unquoted, "...\Program Files\HELPDECO.EXE" would start "...\Program.exe".
TEST_F(Security, DecompilerInFolderWithBlankNeverRunsProgramBeforeBlank)
{
    const std::string decoy = JoinPath(folder_, "Program.exe");
    const std::string marker = decoy + ".ran";
    ASSERT_TRUE(CopyFileA(JoinPath(BuildFolder(), "decoy.exe").c_str(), decoy.c_str(), FALSE));
    // The decoy leaves its marker when it does run.
    std::string decoyCommand = "\"" + decoy + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &decoyCommand[0], nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &started));
    WaitForSingleObject(started.hProcess, kWaitMs);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    ASSERT_TRUE(FileExists(marker)) << "the decoy left no marker when run";
    DeleteFileA(marker.c_str());

    const std::string decompiler =
        JoinPath(MakeSubfolder(folder_, "Program Files"), "HELPDECO.EXE");
    ASSERT_TRUE(CopyFileA(StandinPath().c_str(), decompiler.c_str(), FALSE));
    ASSERT_TRUE(StartAtMainWindow(RecordThen(""), decompiler));
    ASSERT_TRUE(FillFields("manual.hlp", folder_));
    for (const int button : {IDC_START, IDC_USAGE}) {
        SCOPED_TRACE(button == IDC_START ? "decompile" : "usage");
        HWND log = nullptr;
        ASSERT_TRUE(RunToEnd(button, &log));
        ASSERT_TRUE(CloseLog(log));
        EXPECT_FALSE(FileExists(marker)) << "the decoy ran: " << ReadWholeFile(marker);
        const StandinRecord record = ReadStandinRecord(record_);
        ASSERT_TRUE(record.present) << "the decompiler did not run";
        EXPECT_EQ(0u, record.commandLine.find("\"" + decompiler + "\""))
            << "the command line was " << record.commandLine;
    }
}
