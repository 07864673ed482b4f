#include "core/command_line.h"

#include "core/app_state.h"

#include <cstring>

namespace {

// Three characters a switch, in the order of the option boxes.
const char kOptionalSwitches[] = " /b /c /m /g /d /x";
const size_t kSwitchLength = 3;

// Unquoted, "C:\Program Files\x.exe" would make the system try
// "C:\Program.exe" first, so a path with blanks is enclosed in quotes.
bool NeedsQuotes(const char* path)
{
    const size_t length = strlen(path);
    const bool quoted = length >= 2 && path[0] == '"' && path[length - 1] == '"';
    return !quoted && strpbrk(path, " \t") != nullptr;
}

// The quotation mark to put around the decompiler path, if any.
const char* DecompilerQuote()
{
    return NeedsQuotes(AppState.decompilerPath) ? "\"" : "";
}

}  // namespace

void BuildSwitches(const bool (&ticked)[kOptionalSwitchCount])
{
    StoreText(AppState.switches, {" /y"});
    for (int i = 0; i < kOptionalSwitchCount; ++i) {
        if (!ticked[i])
            continue;
        char option[kSwitchLength + 1] = {};
        memcpy(option, kOptionalSwitches + kSwitchLength * static_cast<size_t>(i), kSwitchLength);
        StoreText(AppState.switches, {AppState.switches, option});
    }
}

bool ComposeRunCommand()
{
    const char* quote = DecompilerQuote();
    return StoreText(AppState.commandLine, {quote, AppState.decompilerPath, quote, " \"",
                                            AppState.pickedFile, "\"", AppState.switches});
}

void ComposeUsageCommand()
{
    const char* quote = DecompilerQuote();
    StoreText(AppState.commandLine, {quote, AppState.decompilerPath, quote});
    StoreText(AppState.destDir, {kNoWorkingDirectory});
}
