#include "core/app_state.h"

#include <cstring>

ApplicationState AppState;

const char kNoWorkingDirectory[] = "NONE";

bool StoreText(char* field, size_t capacity, std::initializer_list<const char*> pieces)
{
    size_t length = 0;
    for (const char* piece : pieces)
        length += strlen(piece);
    if (length >= capacity) {
        if (capacity > 0)
            field[0] = '\0';
        return false;
    }
    char* end = field;
    for (const char* piece : pieces) {
        const size_t pieceLength = strlen(piece);
        memmove(end, piece, pieceLength);
        end += pieceLength;
    }
    *end = '\0';
    return true;
}
