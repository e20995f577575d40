// A picture taken of windows on the screen: a 32-bit top-down bitmap with alpha, saved as PNG
// through the Windows Imaging Component. What no copied window covers stays transparent.
#pragma once
#include "Holders.h"

class CPicture {
public:
    CPicture() = default;
    ~CPicture();
    CPicture(const CPicture&) = delete;
    CPicture& operator=(const CPicture&) = delete;

    // A transparent picture of the given size; false when GDI refuses one.
    bool Create(int width, int height);
    // Copies a screen rectangle to (x, y) of the picture and makes it opaque.
    bool CopyScreen(const RECT& screen, int x, int y);
    HRESULT SavePng(LPCWSTR path) const;

private:
    void MakeOpaque(int x, int y, int width, int height);

    CMemoryDc m_dc;
    CGdiObject m_bitmap;
    HGDIOBJ m_previous = nullptr;
    DWORD* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
};
