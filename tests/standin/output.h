// The known text the stand-in prints and the tests expect, byte for byte.
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
