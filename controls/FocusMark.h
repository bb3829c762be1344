// The focus mark of the skinned controls: a frame of single dots in a colour of the skin. The
// platform's own mark inverts what lies beneath, which on the skin's blue faces and waves gives
// brown and orange dots; a mark drawn in the caption's colour reads as part of the skin.
#pragma once

#include <windows.h>

// Dots thickness pixels square, as far apart, so that the mark keeps its look at every scale.
void DrawFocusMark(HDC dc, const RECT& rect, COLORREF colour, int thickness = 1);
