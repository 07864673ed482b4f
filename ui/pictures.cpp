#include "ui/pictures.h"

#include "core/app_state.h"

#include <commctrl.h>

#include <cstdlib>

namespace {

// A drawing's size, read from its resource without making the bitmap; zero
// when there is none.
SIZE DrawingSize(int id)
{
    SIZE size = {0, 0};
    const HRSRC found = FindResourceA(AppState.instance, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_BITMAP));
    const HGLOBAL loaded = found ? LoadResource(AppState.instance, found) : nullptr;
    const void* header = loaded ? LockResource(loaded) : nullptr;
    if (header && SizeofResource(AppState.instance, found) >= sizeof(BITMAPINFOHEADER)) {
        const BITMAPINFOHEADER& info = *static_cast<const BITMAPINFOHEADER*>(header);
        size.cx = info.biWidth;
        size.cy = std::abs(info.biHeight);
    }
    return size;
}

// The largest drawing that fits SPACE, or the 100 % one when none does.
HBITMAP LoadBestDrawing(const PictureDrawings& drawings, SIZE space)
{
    int best = kDrawingsPerPicture - 1;
    for (; best > 0; --best) {
        const SIZE size = DrawingSize(drawings[best]);
        if (size.cx > 0 && size.cx <= space.cx && size.cy <= space.cy)
            break;
    }
    return LoadBitmapA(AppState.instance, MAKEINTRESOURCEA(drawings[best]));
}

// A drawing's ground: the colour of its corner.
COLORREF GroundOf(HBITMAP drawing)
{
    const HDC source = CreateCompatibleDC(nullptr);
    const HGDIOBJ before = SelectObject(source, drawing);
    const COLORREF ground = GetPixel(source, 0, 0);
    SelectObject(source, before);
    DeleteDC(source);
    return ground;
}

// The drawing in the middle of a bitmap of FRAME's size, the rest of it
// the drawing's ground. 24 bits a pixel: with no alpha, the control shows
// this bitmap itself rather than a copy of it.
HBITMAP LayOnGround(HBITMAP drawing, SIZE frame)
{
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = frame.cx;
    format.bmiHeader.biHeight = frame.cy;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    const HBITMAP picture = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &pixels, nullptr, 0);
    BITMAP drawn = {};
    if (!picture || !GetObjectA(drawing, sizeof drawn, &drawn))
        return picture;

    const HBRUSH ground = CreateSolidBrush(GroundOf(drawing));
    const HDC source = CreateCompatibleDC(nullptr);
    const HDC target = CreateCompatibleDC(nullptr);
    const HGDIOBJ sourceBefore = SelectObject(source, drawing);
    const HGDIOBJ targetBefore = SelectObject(target, picture);
    const RECT whole = {0, 0, frame.cx, frame.cy};
    FillRect(target, &whole, ground);
    DeleteObject(ground);
    BitBlt(target, (frame.cx - drawn.bmWidth) / 2, (frame.cy - drawn.bmHeight) / 2, drawn.bmWidth,
           drawn.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(target, targetBefore);
    SelectObject(source, sourceBefore);
    DeleteDC(target);
    DeleteDC(source);
    return picture;
}

SIZE ClientSize(HWND window, int inset)
{
    RECT client = {};
    GetClientRect(window, &client);
    return {client.right - 2 * inset, client.bottom - 2 * inset};
}

void DeleteImage(LRESULT image)
{
    if (image)
        DeleteObject(reinterpret_cast<HGDIOBJ>(image));
}

}  // namespace

void FillPictureFrame(HWND picture, const PictureDrawings& drawings)
{
    const SIZE frame = ClientSize(picture, 0);
    const HBITMAP drawing = LoadBestDrawing(drawings, frame);
    if (!drawing)
        return;
    const HBITMAP filled = LayOnGround(drawing, frame);
    DeleteObject(drawing);
    // The image the template gave the control comes back, ours to delete.
    DeleteImage(SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(filled)));
}

void FitButtonPicture(HWND button, const PictureDrawings& drawings)
{
    // The edge and, inside it, the focus rectangle.
    const int inset = 2 * GetSystemMetrics(SM_CXEDGE);
    const HBITMAP drawing = LoadBestDrawing(drawings, ClientSize(button, inset));
    BITMAP drawn = {};
    if (drawing && GetObjectA(drawing, sizeof drawn, &drawn)) {
        BUTTON_IMAGELIST image = {ImageList_Create(drawn.bmWidth, drawn.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0),
                                  {0, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_CENTER};
        ImageList_AddMasked(image.himl, drawing, GroundOf(drawing));
        if (!SendMessageA(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&image)))
            ImageList_Destroy(image.himl);
    }
    if (drawing)
        DeleteObject(drawing);
}

void DeletePicture(HWND picture)
{
    DeleteImage(SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, 0));
}

void DeleteButtonPicture(HWND button)
{
    BUTTON_IMAGELIST image = {};
    if (SendMessageA(button, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&image)) && image.himl)
        ImageList_Destroy(image.himl);
}
