#include "Picture.h"
#include <wincodec.h>

CPicture::~CPicture()
{
    if (m_previous)
        ::SelectObject(m_dc, m_previous);
}

bool CPicture::Create(int width, int height)
{
    if (width <= 0 || height <= 0 || width > 0x4000 || height > 0x4000)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap.Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_dc.Attach(::CreateCompatibleDC(nullptr));
    if (!m_bitmap.IsValid() || !m_dc.IsValid() || !bits)
        return false;
    m_previous = ::SelectObject(m_dc, m_bitmap);
    m_bits = static_cast<DWORD*>(bits);
    m_width = width;
    m_height = height;
    ZeroMemory(m_bits, size_t(width) * size_t(height) * sizeof(DWORD));
    return true;
}

void CPicture::MakeOpaque(int x, int y, int width, int height)
{
    ::GdiFlush();
    for (int row = y < 0 ? 0 : y; row < y + height && row < m_height; ++row)
        for (int column = x < 0 ? 0 : x; column < x + width && column < m_width; ++column)
            m_bits[size_t(row) * size_t(m_width) + size_t(column)] |= 0xFF000000u;
}

bool CPicture::CopyScreen(const RECT& screen, int x, int y)
{
    CWindowDc screenDc(nullptr);
    int width = screen.right - screen.left;
    int height = screen.bottom - screen.top;
    if (!screenDc.Get() || !::BitBlt(m_dc, x, y, width, height, screenDc, screen.left, screen.top, SRCCOPY))
        return false;
    MakeOpaque(x, y, width, height);
    return true;
}

HRESULT CPicture::SavePng(LPCWSTR path) const
{
    if (!m_bits)
        return E_UNEXPECTED;
    ::GdiFlush();
    CComPtr<IWICImagingFactory> factory;
    HRESULT hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    factory.ReceiveVoid());
    CComPtr<IWICStream> stream;
    if (SUCCEEDED(hr))
        hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromFilename(path, GENERIC_WRITE);
    CComPtr<IWICBitmapEncoder> encoder;
    if (SUCCEEDED(hr))
        hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    CComPtr<IWICBitmapFrameEncode> frame;
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(hr))
        hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr))
        hr = frame->SetSize(UINT(m_width), UINT(m_height));
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat32bppBGRA))
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    UINT stride = UINT(m_width) * sizeof(DWORD);
    if (SUCCEEDED(hr))
        hr = frame->WritePixels(UINT(m_height), stride, stride * UINT(m_height), reinterpret_cast<BYTE*>(m_bits));
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();
    return hr;
}
