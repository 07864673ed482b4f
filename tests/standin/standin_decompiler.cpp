// A stand-in for the decompiler, for tests: a console program that does
// what the environment variable STANDIN_ACTIONS tells it, in order. The
// actions are separated by ';':
//   record=PATH    write our command line and working directory to PATH
//   text=N/W       N bytes of the known text to stdout, in writes of W bytes
//   hex=N/W        N bytes of hex-dump lines to stdout, in writes of W bytes
//   mixed=N        about N bytes of progress (bare CR), result and warning
//                  lines on stdout and stderr, one write a line
//   lines=N        N numbered lines, alternately on stdout and stderr
//   stdout=TEXT    TEXT to stdout (stderr=TEXT likewise)
//   nul            "before", a NUL byte and "after", in one write
//   dbcs=N         "a" and N two-byte characters (code page 932) in one write
//   file=NAME      create NAME in the working directory
//   keywait        prompt for a key on the console and wait for it
//   grandchild=MS  start a copy of us that holds our output for MS ms, then end
//   sleep=MS       wait MS milliseconds
//   crash          die of an access violation, without an error box
//   exit=CODE      end now with CODE
// Without the variable it prints a usage text, as the real decompiler does
// when started without arguments.
#include "known_text.h"

#include <windows.h>

#include <conio.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Write(DWORD which, const char* data, size_t length)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(which), data, static_cast<DWORD>(length), &written, nullptr);
}

void Write(DWORD which, const std::string& text)
{
    Write(which, text.data(), text.size());
}

void Record(const char* path)
{
    char directory[MAX_PATH * 2] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    FILE* file = fopen(path, "wb");
    if (!file)
        return;
    fprintf(file, "%s\n%s\n", GetCommandLineA(), directory);
    fclose(file);
}

// Writes text to stdout in pieces as "N/W" asks: N bytes of it, W at a time.
void WriteInPieces(const char* argument, std::string (*makeText)(size_t))
{
    const size_t total = strtoul(argument, nullptr, 10);
    const char* slash = strchr(argument, '/');
    size_t piece = slash ? strtoul(slash + 1, nullptr, 10) : total;
    if (piece == 0)
        piece = 1;
    const std::string text = makeText(total);
    for (size_t done = 0; done < total; done += piece)
        Write(STD_OUTPUT_HANDLE, text.data() + done, piece < total - done ? piece : total - done);
}

// Lines shaped like a hex dump listing, "00000010: 4D 5A ... 00  MZ......\r\n",
// with bytes from a fixed pseudo-random sequence.
std::string HexDumpText(size_t length)
{
    std::string text;
    text.reserve(length + 96);
    unsigned seed = 12345;
    for (unsigned offset = 0; text.size() < length; offset += 16) {
        char line[96];
        unsigned char bytes[16];
        int used = snprintf(line, sizeof line, "%08X:", offset);
        for (unsigned char& byte : bytes) {
            seed = seed * 1103515245u + 12345u;
            byte = static_cast<unsigned char>(seed >> 16);
            used += snprintf(line + used, sizeof line - used, " %02X", byte);
        }
        text.append(line, used);
        text.append("  ");
        for (unsigned char byte : bytes)
            text.push_back(byte >= 0x20 && byte < 0x7f ? static_cast<char>(byte) : '.');
        text.append("\r\n");
    }
    text.resize(length);
    return text;
}

// Output as a decompile prints it: a progress line per topic that the next
// one overwrites (bare CR), every fourth topic a result line on stdout,
// every fifth a warning on stderr.
void WriteMixedOutput(size_t total)
{
    char text[96];
    size_t done = 0;
    for (unsigned topic = 1; done < total; ++topic) {
        int length = snprintf(text, sizeof text, "Decompiling topic %u ...\r", topic);
        Write(STD_OUTPUT_HANDLE, text, length);
        done += length;
        if (topic % 4 == 0) {
            length = snprintf(text, sizeof text, "topic%u.rtf written\r\n", topic);
            Write(STD_OUTPUT_HANDLE, text, length);
            done += length;
        }
        if (topic % 5 == 0) {
            length = snprintf(text, sizeof text, "Warning: topic %u: unknown macro\r\n", topic);
            Write(STD_ERROR_HANDLE, text, length);
            done += length;
        }
    }
}

void WriteAlternateLines(unsigned count)
{
    for (unsigned line = 1; line <= count; ++line) {
        const bool onError = line % 2 == 0;
        char text[64];
        snprintf(text, sizeof text, "%s %u\r\n", onError ? "err" : "out", line);
        Write(onError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, text, strlen(text));
    }
}

void WriteTwoByteText(unsigned count)
{
    std::string text = "a";
    for (unsigned i = 0; i < count; ++i)
        text += "\x82\xa0";  // HIRAGANA LETTER A in code page 932
    Write(STD_OUTPUT_HANDLE, text);
}

void CreateOutputFile(const char* name)
{
    FILE* file = fopen(name, "wb");
    if (file) {
        fputs("written by the stand-in decompiler\r\n", file);
        fclose(file);
    }
}

void WaitForKey()
{
    Write(STD_OUTPUT_HANDLE, std::string("Press any key to continue\r\n"));
    _getch();
    Write(STD_OUTPUT_HANDLE, std::string("key read\r\n"));
}

// The copy inherits our handles, so the pipe stays open until it ends.
void StartGrandchild(const char* milliseconds)
{
    std::string actions = std::string("sleep=") + milliseconds + ";stdout=grandchild done\r\n";
    SetEnvironmentVariableA("STANDIN_ACTIONS", actions.c_str());
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string commandLine = std::string("\"") + self + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

void Crash()
{
    SetErrorMode(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS);
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

void Perform(const std::string& action)
{
    const size_t equals = action.find('=');
    const std::string name = action.substr(0, equals);
    const char* argument = equals == std::string::npos ? "" : action.c_str() + equals + 1;
    if (name == "record") Record(argument);
    else if (name == "text") WriteInPieces(argument, KnownText);
    else if (name == "hex") WriteInPieces(argument, HexDumpText);
    else if (name == "mixed") WriteMixedOutput(strtoul(argument, nullptr, 10));
    else if (name == "lines") WriteAlternateLines(strtoul(argument, nullptr, 10));
    else if (name == "stdout") Write(STD_OUTPUT_HANDLE, std::string(argument));
    else if (name == "stderr") Write(STD_ERROR_HANDLE, std::string(argument));
    else if (name == "nul") Write(STD_OUTPUT_HANDLE, "before\0after", 12);
    else if (name == "dbcs") WriteTwoByteText(strtoul(argument, nullptr, 10));
    else if (name == "file") CreateOutputFile(argument);
    else if (name == "keywait") WaitForKey();
    else if (name == "grandchild") StartGrandchild(argument);
    else if (name == "sleep") Sleep(strtoul(argument, nullptr, 10));
    else if (name == "crash") Crash();
    else if (name == "exit") ExitProcess(strtoul(argument, nullptr, 10));
}

}  // namespace

int main()
{
    char actions[32768];
    const DWORD length = GetEnvironmentVariableA("STANDIN_ACTIONS", actions, sizeof actions);
    if (length == 0 || length >= sizeof actions) {
        Write(STD_OUTPUT_HANDLE, std::string("Stand-in decompiler. Usage: standin helpfile.hlp [switches]\r\n"));
        return 0;
    }
    std::string remaining(actions);
    size_t start = 0;
    while (start <= remaining.size()) {
        const size_t end = remaining.find(';', start);
        Perform(remaining.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return 0;
}
