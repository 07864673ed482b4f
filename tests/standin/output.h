// The known text the stand-in prints and the tests expect, byte for byte.
#pragma once

#include <cstdio>
#include <string>

// The first LENGTH bytes of hex-dump lines such as
// "00000010: 4D 5A ... 00  MZ......\r\n", as a hex dump listing prints them;
// the offset at the head of each line makes a lost or doubled chunk visible.
inline std::string KnownText(size_t length)
{
    std::string text;
    unsigned seed = 12345;
    char line[96];
    for (unsigned offset = 0; text.size() < length; offset += 16) {
        unsigned char bytes[16];
        int used = snprintf(line, sizeof line, "%08X:", offset);
        for (unsigned char& byte : bytes) {
            seed = seed * 1103515245u + 12345u;
            byte = static_cast<unsigned char>(seed >> 16);
            used += snprintf(line + used, sizeof line - used, " %02X", byte);
        }
        text.append(line, used).append("  ");
        for (unsigned char byte : bytes)
            text.push_back(byte >= 0x20 && byte < 0x7f ? static_cast<char>(byte) : '.');
        text.append("\r\n");
    }
    text.resize(length);
    return text;
}
