// The known text the stand-in decompiler prints, shared with the tests that
// check every byte of it arrived, in order.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Byte i of an endless run of numbered lines such as
// "000042 the quick brown fox jumps over the lazy dog\r\n": lines make
// the log readable and the numbers make a lost or doubled chunk visible.
inline std::string KnownText(size_t length)
{
    static const char kTail[] = " the quick brown fox jumps over the lazy dog\r\n";
    std::string text;
    text.reserve(length + 64);
    char number[16];
    for (unsigned line = 0; text.size() < length; ++line) {
        snprintf(number, sizeof number, "%06u", line % 1000000);
        text.append(number);
        text.append(kTail);
    }
    text.resize(length);
    return text;
}
