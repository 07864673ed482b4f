#include "bench/bench.h"

#include "runner/run_decompiler.h"

#include <psapi.h>

#include <algorithm>

double NowMs()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

unsigned long long PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    const std::string file(path, length < sizeof path ? length : 0);
    return file.substr(0, file.find_last_of('\\') + 1);
}

std::string StandInCommand()
{
    return "\"" + ProgramFolder() + "standin.exe\" \"bench.hlp\" /y";
}

double TimeChildRun(const std::string& commandLine, ChunkSink sink, void* context)
{
    std::string line = commandLine;
    const double start = NowMs();
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0))
        return -1;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION child = {};
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                       nullptr, &startup, &child))
        CloseHandle(child.hThread);
    CloseHandle(writeEnd);

    char chunk[kChunkSize + 1];
    DWORD count = 0;
    while (ReadFile(readEnd, chunk, kChunkSize, &count, nullptr)) {
        chunk[count] = '\0';
        sink(context, chunk, count);
    }
    CloseHandle(readEnd);
    if (child.hProcess)
        CloseHandle(child.hProcess);
    return NowMs() - start;
}

namespace {

void AppendToText(void* text, char* chunk, DWORD count)
{
    static_cast<std::string*>(text)->append(chunk, count);
}

}  // namespace

std::string CaptureOutput(const std::string& commandLine)
{
    std::string output;
    TimeChildRun(commandLine, AppendToText, &output);
    return output;
}
