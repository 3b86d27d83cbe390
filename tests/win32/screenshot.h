// Screenshots of windows under test, kept as build artifacts in
// build/screenshots (the folder named by VM_REPO, else the current one).
#pragma once

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace vm {

// Saves what the screen shows of the window as a BMP file.
inline void Screenshot(HWND w, const std::string& name) {
    const char* repo = getenv("VM_REPO");
    const std::string dir = std::string(repo ? repo : ".") + "\\build\\screenshots";
    CreateDirectoryA((std::string(repo ? repo : ".") + "\\build").c_str(), nullptr);
    CreateDirectoryA(dir.c_str(), nullptr);
    RECT r;
    GetWindowRect(w, &r);
    const int cx = r.right - r.left, cy = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, cx, cy);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, cx, cy, screen, r.left, r.top, SRCCOPY);
    BITMAPINFOHEADER bi{sizeof bi, cx, cy, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const int stride = (cx * 3 + 3) & ~3;
    std::string pixels(static_cast<size_t>(stride) * cy, '\0');
    GetDIBits(mem, bmp, 0, cy, pixels.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
    BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi + pixels.size()), 0, 0,
                        sizeof fh + sizeof bi};
    std::ofstream f(dir + "\\" + name + ".bmp", std::ios::binary);
    f.write(reinterpret_cast<const char*>(&fh), sizeof fh);
    f.write(reinterpret_cast<const char*>(&bi), sizeof bi);
    f.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

}  // namespace vm
