#include "common/compare.h"

#include <cstdio>
#include <sstream>

namespace {

// A piece of text for a message: bytes outside printable ASCII as \xNN.
std::string Printable(const std::string& text)
{
    std::string shown;
    char escape[8];
    for (unsigned char byte : text) {
        if (byte >= 0x20 && byte < 0x7f) {
            shown += static_cast<char>(byte);
        } else {
            snprintf(escape, sizeof escape, "\\x%02X", byte);
            shown += escape;
        }
    }
    return shown;
}

}  // namespace

std::string DescribeDifference(const std::string& expected, const std::string& actual)
{
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    std::ostringstream text;
    text << "expected " << expected.size() << " bytes, got " << actual.size();
    if (at < expected.size() || at < actual.size()) {
        text << "; first difference at byte " << at << ": expected ["
             << Printable(expected.substr(at, 24)) << "], got [" << Printable(actual.substr(at, 24))
             << "]";
    }
    return text.str();
}
