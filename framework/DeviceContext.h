// Device contexts typed by how they were obtained, each giving its context back the way it
// came (EndPaint, ReleaseDC, DeleteDC), and guards that put back what a selection replaced.
#pragma once

#include <windows.h>

// BeginPaint / EndPaint for WM_PAINT.
class CPaintDC {
public:
    explicit CPaintDC(HWND window) : m_window(window), m_dc(::BeginPaint(window, &m_ps)) {}
    ~CPaintDC() { ::EndPaint(m_window, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    HDC get() const { return m_dc; }
    const PAINTSTRUCT& paint() const { return m_ps; }

private:
    HWND m_window;
    PAINTSTRUCT m_ps = {};
    HDC m_dc;
};

// GetDC / ReleaseDC: the client area of a window, or the screen for a null window.
class CClientDC {
public:
    explicit CClientDC(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~CClientDC() {
        if (m_dc) ::ReleaseDC(m_window, m_dc);
    }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// CreateCompatibleDC / DeleteDC: an off-screen context. Whatever was selected into it must be
// put back first (CSelectObject does that).
class CMemoryDC {
public:
    explicit CMemoryDC(HDC compatibleWith) : m_dc(::CreateCompatibleDC(compatibleWith)) {}
    ~CMemoryDC() {
        if (m_dc) ::DeleteDC(m_dc);
    }
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    HDC get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HDC m_dc;
};

// Selects an object into a context and selects the previous one back when the guard ends,
// so that the object can be deleted afterwards. A null object selects nothing.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_previous(dc && object ? ::SelectObject(dc, object) : nullptr) {}
    ~CSelectObject() {
        if (m_previous && m_previous != HGDI_ERROR) ::SelectObject(m_dc, m_previous);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// SaveDC / RestoreDC around a block of drawing.
class CSaveDC {
public:
    explicit CSaveDC(HDC dc) : m_dc(dc), m_saved(::SaveDC(dc)) {}
    ~CSaveDC() {
        if (m_saved) ::RestoreDC(m_dc, m_saved);
    }
    CSaveDC(const CSaveDC&) = delete;
    CSaveDC& operator=(const CSaveDC&) = delete;

private:
    HDC m_dc;
    int m_saved;
};
