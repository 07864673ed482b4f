// A stand-in for the decompiler: a console program, as the real one is.
// Started with no arguments it prints a usage line; with a help file, a short
// made-up decompile report. The tests steer it with the environment variable
// STANDIN_ACTIONS instead, a list of actions separated by ';':
//   record       our module (whole, in UTF-8), command line and working
//                directory, a line each
//   open         whether the help file, our first argument, opens: "Opened
//                PATH" or, as the decompiler says it, "Can not open 'PATH'"
//   text=N/W     N bytes of the known text, in writes of W bytes
//   mixed=N      about N bytes of progress, result and warning lines
//   stdout=TEXT, stderr=TEXT, sleep=MS, exit=CODE
//   nul          "before", a NUL byte and "after", in one write
//   dbcs=N       "a" and N two-byte characters of code page 932, one write
//   keywait      prompt for a key on the console and wait for it
//   closeout     close our output, and so the pipe, while we go on
//   grandchild=MS  start a copy of us that holds our output for MS ms
//   crash        die of an access violation, without an error box
//   load=NAME    load the DLL NAME, looked for as Windows looks for it
#include "output.h"

#include <windows.h>

#include <conio.h>

#include <cstdlib>
#include <sstream>

namespace {

void Write(bool toError, const std::string& text)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE), text.data(),
              static_cast<DWORD>(text.size()), &written, nullptr);
}

// As a decompile prints: a progress line per topic that the next one
// overwrites (bare CR), every fourth topic a result, every fifth a warning
// on standard error; one write a line.
void WriteMixedOutput(size_t length)
{
    size_t written = 0;
    auto line = [&](bool toError, const char* format, unsigned topic) {
        char text[64];
        written += static_cast<size_t>(snprintf(text, sizeof text, format, topic));
        Write(toError, text);
    };
    for (unsigned topic = 1; written < length; ++topic) {
        line(false, "Decompiling topic %u ...\r", topic);
        if (topic % 4 == 0)
            line(false, "topic%u.rtf written\r\n", topic);
        if (topic % 5 == 0)
            line(true, "Warning: topic %u: unknown macro\r\n", topic);
    }
}

// The copy inherits our handles, so the pipe stays open until it ends.
void StartGrandchild(const std::string& milliseconds)
{
    SetEnvironmentVariableA("STANDIN_ACTIONS", ("sleep=" + milliseconds + ";stdout=grandchild done\r\n").c_str());
    std::string commandLine = GetCommandLineA();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr, nullptr,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

void Perform(const std::string& name, const std::string& argument, const char* helpFile)
{
    const unsigned long number = strtoul(argument.c_str(), nullptr, 10);
    if (name == "record") {
        wchar_t wide[MAX_PATH] = L"";
        char module[3 * MAX_PATH] = "", directory[MAX_PATH] = "";
        GetModuleFileNameW(nullptr, wide, MAX_PATH);
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, module, sizeof module, nullptr, nullptr);
        GetCurrentDirectoryA(sizeof directory, directory);
        Write(false, Ran(module, GetCommandLineA(), directory));
    } else if (name == "open") {
        const HANDLE file = CreateFileA(helpFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        Write(false, file != INVALID_HANDLE_VALUE ? std::string("Opened ") + helpFile + "\r\n"
                                                  : std::string("Can not open '") + helpFile + "'\r\n");
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    } else if (name == "text") {
        const size_t piece = strtoul(argument.c_str() + argument.find('/') + 1, nullptr, 10);
        const std::string text = KnownText(number);
        for (size_t done = 0; done < text.size(); done += piece)
            Write(false, text.substr(done, piece));
    } else if (name == "mixed") {
        WriteMixedOutput(number);
    } else if (name == "stdout" || name == "stderr") {
        Write(name == "stderr", argument);
    } else if (name == "nul") {
        Write(false, std::string("before\0after", 12));
    } else if (name == "dbcs") {
        Write(false, Hiragana(number));
    } else if (name == "keywait") {
        Write(false, "Press any key to continue\r\n");
        _getch();
        Write(false, "key read\r\n");
    } else if (name == "closeout") {
        CloseHandle(GetStdHandle(STD_OUTPUT_HANDLE));
        CloseHandle(GetStdHandle(STD_ERROR_HANDLE));
    } else if (name == "grandchild") {
        StartGrandchild(argument);
    } else if (name == "sleep") {
        Sleep(number);
    } else if (name == "crash") {
        SetErrorMode(SEM_NOGPFAULTERRORBOX);
        *static_cast<volatile int*>(nullptr) = 1;
    } else if (name == "load") {
        LoadLibraryA(argument.c_str());
    } else if (name == "exit") {
        ExitProcess(number);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    static char actions[32768];
    const DWORD length = GetEnvironmentVariableA("STANDIN_ACTIONS", actions, sizeof actions);
    if (length == 0 || length >= sizeof actions) {
        Write(false, argc < 2 ? "Stand-in decompiler. Usage: standin helpfile.hlp [switches]\r\n"
                              : std::string("Decompiling ") + argv[1] +
                                    " ...\r\nWriting project file, contents and phrases\r\n"
                                    "Writing 128 topics, 37 keywords, 12 browse sequences\r\n"
                                    "Extracting pictures: bm0.bmp bm1.bmp bm2.shg bm3.wmf\r\n"
                                    "Warning: topic 'Glossary' refers to a missing context id\r\n"
                                    "Done. (A stand-in: it wrote no files.)\r\n");
        return 0;
    }
    std::istringstream list(actions);
    for (std::string action; std::getline(list, action, ';');) {
        const size_t equals = action.find('=');
        Perform(action.substr(0, equals), equals == std::string::npos ? "" : action.substr(equals + 1),
                argc > 1 ? argv[1] : "");
    }
    return 0;
}
