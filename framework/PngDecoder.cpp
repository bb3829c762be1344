#include "framework/PngDecoder.h"

#include <wincodec.h>

#include "framework/PicturePreload.h"

namespace {

// Version 1 of the factory, which Windows Vista and 7 have too.
constexpr CLSID kImagingFactory1 = {0xcacaf262, 0x9370, 0x4615, {0xa1, 0x3b, 0x9f, 0x55, 0x39, 0xda, 0x4c, 0x0a}};
constexpr GUID kPixelFormat32bppBGR = {0x6fddc324, 0x4e03, 0x4bfe, {0xb1, 0x85, 0x3d, 0x77, 0x76, 0x8d, 0xc9, 0x0e}};
// No skin picture comes near it; a larger one is refused rather than sized in a wrapped integer.
constexpr UINT kMaxSide = 8192;

// The decoder that serves the user-interface thread, the only one that makes pictures.
CPngDecoder* g_current = nullptr;

}  // namespace

CPngDecoder::CPngDecoder() {
    if (g_current) return;
    g_current = this;
    m_bServes = true;
}

CPngDecoder::CPngDecoder(Unserving) {}

CPngDecoder::~CPngDecoder() {
    if (m_bServes) g_current = nullptr;
    // Before the apartment is left.
    m_factory.reset();
    if (SUCCEEDED(m_comResult)) ::CoUninitialize();
}

const BYTE* CPngDecoder::FindPng(HINSTANCE module, UINT nId, DWORD& size) {
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(nId), L"PNG");
    HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const auto* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    size = data ? ::SizeofResource(module, resource) : 0;
    return data;
}

BOOL CPngDecoder::LoadResource(HINSTANCE module, UINT nId, CBitmap& bitmap) {
    bitmap.DeleteObject();
    if (CPicturePreload::Take(module, nId, bitmap)) return TRUE;
    DWORD size = 0;
    const BYTE* data = FindPng(module, nId, size);
    if (!data) return FALSE;
    if (g_current) return g_current->Decode(data, size, bitmap);
    CPngDecoder own;
    return own.Decode(data, size, bitmap);
}

BOOL CPngDecoder::Decode(const BYTE* data, DWORD size, CBitmap& bitmap) {
    if (!m_bStarted) {
        m_bStarted = true;
        // A thread already in an apartment of another kind (RPC_E_CHANGED_MODE) can use it as it is.
        m_comResult = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ::CoCreateInstance(kImagingFactory1, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWICImagingFactory),
                           m_factory.put_void());
    }
    if (!m_factory) return FALSE;
    fw::ComPtr<IWICStream> stream;
    fw::ComPtr<IWICBitmapDecoder> decoder;
    fw::ComPtr<IWICBitmapFrameDecode> frame;
    fw::ComPtr<IWICFormatConverter> converter;
    if (FAILED(m_factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(data), size)) ||
        FAILED(m_factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                  decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) || FAILED(m_factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), kPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return FALSE;
    UINT width = 0, height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width > kMaxSide || height > kMaxSide) return FALSE;
    CBitmap decoded;
    DWORD* bits = nullptr;
    if (!decoded.CreateDib(static_cast<int>(width), static_cast<int>(height), &bits)) return FALSE;
    const UINT stride = width * 4;
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, reinterpret_cast<BYTE*>(bits)))) return FALSE;
    return bitmap.Attach(decoded.Detach());
}
