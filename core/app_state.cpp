#include "core/app_state.h"

#include <cstring>
#include <string>

ApplicationState AppState;

const char kNoWorkingDirectory[] = "NONE";

template <typename Char>
bool StoreText(Char* field, size_t capacity, std::initializer_list<const Char*> pieces)
{
    typedef std::char_traits<Char> Traits;
    size_t length = 0;
    for (const Char* piece : pieces)
        length += Traits::length(piece);
    if (length >= capacity) {
        if (capacity > 0)
            field[0] = Char();
        return false;
    }
    Char* end = field;
    for (const Char* piece : pieces) {
        const size_t pieceLength = Traits::length(piece);
        Traits::move(end, piece, pieceLength);
        end += pieceLength;
    }
    *end = Char();
    return true;
}

template bool StoreText<char>(char*, size_t, std::initializer_list<const char*>);
template bool StoreText<wchar_t>(wchar_t*, size_t, std::initializer_list<const wchar_t*>);
