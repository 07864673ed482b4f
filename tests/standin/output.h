// The texts the stand-in prints and the tests expect, byte for byte.
#pragma once

#include <cstdio>
#include <string>

// The first LENGTH bytes of hex-dump lines, as a hex dump listing prints
// them; the offset at the head of each line makes a lost or doubled chunk
// visible.
inline std::string KnownText(size_t length)
{
    std::string text;
    char line[96];
    for (unsigned offset = 0; text.size() < length; offset += 16)
        text.append(line, static_cast<size_t>(snprintf(line, sizeof line, "%08X: 4D 5A 90 00 03 00 00 00 04 00 00 00"
                                                      " FF FF 00 00  MZ..............\r\n", offset)));
    text.resize(length);
    return text;
}

// "a" and COUNT two-byte characters of code page 932 (HIRAGANA LETTER A).
inline std::string Hiragana(unsigned long count)
{
    std::string text = "a";
    while (count-- > 0)
        text += "\x82\xa0";
    return text;
}

// How the stand-in was started, a line each.
inline std::string Ran(const std::string& module, const std::string& commandLine, const std::string& folder)
{
    return module + "\r\n" + commandLine + "\r\n" + folder + "\r\n";
}
