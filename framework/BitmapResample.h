// A picture made another size with an area filter: each new pixel is the average of the old
// pixels it covers, weighted by how much of each it covers. Made smaller, a picture keeps its
// detail without the stair-steps and lost lines of a stretch; made larger, it blends only at the
// seams between the old pixels.
#pragma once

#include <windows.h>

#include "framework/GdiObject.h"

// source at width x height into result (a 32-bit DIB section); FALSE, result empty, when the
// source cannot be read or there is no memory.
BOOL ResampleBitmap(HBITMAP source, int width, int height, CBitmap& result);
