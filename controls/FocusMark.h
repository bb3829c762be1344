// The focus mark of the skinned controls: a frame of single dots in a colour of the skin. The
// platform's own mark inverts what lies beneath, which on the skin's blue faces and waves gives
// brown and orange dots; a mark drawn in the caption's colour reads as part of the skin.
#pragma once

#include <windows.h>

void DrawFocusMark(HDC dc, const RECT& rect, COLORREF colour);
