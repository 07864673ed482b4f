#include "ui/path_field.h"

#include "core/app_state.h"

bool ReadPathField(HWND window, int id, char (&path)[MAX_PATH])
{
    // One byte more than a path holds shows whether the text was longer.
    char text[MAX_PATH + 1] = "";
    GetDlgItemTextA(window, id, text, sizeof text);
    return StoreText(path, {text});
}
