#include "framework/BitmapResample.h"

#include "base/HeapArray.h"

namespace {

// One line of pixels from length from to length to: pixel x of the new line covers
// [x * from, (x + 1) * from) in units of which every old pixel spans to. Pixels are read and
// written step apart (1 along a row, the row's width down a column).
void ResampleLine(const DWORD* in, int from, std::size_t inStep, DWORD* out, int to, std::size_t outStep) {
    for (int x = 0; x < to; ++x) {
        const long long start = static_cast<long long>(x) * from;
        const long long end = start + from;
        long long sum[3] = {0, 0, 0};
        for (long long i = start / to; i < from && i * to < end; ++i) {
            const long long left = i * to > start ? i * to : start;
            const long long right = (i + 1) * to < end ? (i + 1) * to : end;
            const DWORD pixel = in[static_cast<std::size_t>(i) * inStep];
            for (int c = 0; c < 3; ++c) sum[c] += ((pixel >> (8 * c)) & 0xFF) * (right - left);
        }
        DWORD result = 0;
        for (int c = 0; c < 3; ++c) result |= static_cast<DWORD>((sum[c] + from / 2) / from) << (8 * c);
        out[static_cast<std::size_t>(x) * outStep] = result;
    }
}

}  // namespace

BOOL ResampleBitmap(HBITMAP source, int width, int height, CBitmap& result) {
    result.DeleteObject();
    BITMAP info = {};
    if (!source || !::GetObjectW(source, sizeof info, &info) || width <= 0 || height <= 0) return FALSE;
    const int w = info.bmWidth;
    const int h = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    if (w <= 0 || h <= 0) return FALSE;
    fw::HeapArray<DWORD> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    fw::HeapArray<DWORD> rows(static_cast<std::size_t>(width) * static_cast<std::size_t>(h));
    if (!pixels || !rows) return FALSE;
    if (!CBitmap::ReadPixels(source, w, h, pixels.get())) return FALSE;
    // Across first, into rows of the new width; then down, into the result.
    for (int y = 0; y < h; ++y) {
        const std::size_t row = static_cast<std::size_t>(y);
        ResampleLine(pixels.get() + row * w, w, 1, rows.get() + row * width, width, 1);
    }
    DWORD* bits = nullptr;
    CBitmap made;
    if (!made.CreateDib(width, height, &bits)) return FALSE;
    for (int x = 0; x < width; ++x) ResampleLine(rows.get() + x, h, width, bits + x, height, width);
    return result.Attach(made.Detach());
}
