// Pictures that fill their frames at every display scale. A dialog's
// controls grow with its font; a bitmap does not, so each picture is drawn
// again for larger scales, and the one that fits is chosen when its window
// opens.
#pragma once

#include <windows.h>

// A picture's drawings, from the 100 % one up to the one for 200 %.
const int kDrawingsPerPicture = 5;
typedef int PictureDrawings[kDrawingsPerPicture];

// Fills a picture control that keeps its frame (SS_BITMAP with
// SS_REALSIZECONTROL) with the largest drawing that fits it, laid on the
// drawing's own ground over the rest of the frame. The image stays ours:
// DeletePicture gives it back.
void FillPictureFrame(HWND picture, const PictureDrawings& drawings);

// Puts on a button without text the largest drawing that fits inside its
// edge and focus rectangle, its ground left out, so the button's own face,
// themed or not, shows around it. The image list stays ours:
// DeleteButtonPicture gives it back.
void FitButtonPicture(HWND button, const PictureDrawings& drawings);

void DeletePicture(HWND picture);
void DeleteButtonPicture(HWND button);
