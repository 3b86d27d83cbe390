#include "platform/image_view.h"

#include <vector>

namespace vm {

// The flat GDI+ API, declared here to stay clear of the C++ wrapper headers.
extern "C" {
typedef struct { UINT32 GdiplusVersion; void* DebugEventCallback; BOOL SuppressBackgroundThread;
                 BOOL SuppressExternalCodecs; } VmGdiplusStartupInput;
int __stdcall GdiplusStartup(ULONG_PTR* token, const VmGdiplusStartupInput* input, void* output);
int __stdcall GdipLoadImageFromFile(const WCHAR* file, void** image);
int __stdcall GdipDisposeImage(void* image);
int __stdcall GdipGetImageWidth(void* image, UINT* width);
int __stdcall GdipGetImageHeight(void* image, UINT* height);
int __stdcall GdipCreateFromHDC(HDC dc, void** graphics);
int __stdcall GdipDeleteGraphics(void* graphics);
int __stdcall GdipDrawImageRectI(void* graphics, void* image, INT x, INT y, INT w, INT h);
}

namespace {
const char kClass[] = "VellmoraImage";

struct State {
    void* image = nullptr;
    bool stretch = true;
};

State* Get(HWND h) { return reinterpret_cast<State*>(GetWindowLongPtrA(h, GWLP_USERDATA)); }

void StartGdiplus() {
    static bool started = [] {
        ULONG_PTR token = 0;
        VmGdiplusStartupInput in{1, nullptr, FALSE, FALSE};
        return GdiplusStartup(&token, &in, nullptr) == 0;
    }();
    (void)started;
}

LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_NCCREATE:
            SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new State));
            break;
        case WM_NCDESTROY:
            if (State* s = Get(h)) {
                if (s->image) GdipDisposeImage(s->image);
                delete s;
                SetWindowLongPtrA(h, GWLP_USERDATA, 0);
            }
            break;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(h, &ps);
            RECT rc;
            GetClientRect(h, &rc);
            FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
            State* s = Get(h);
            if (s && s->image) {
                void* g = nullptr;
                if (GdipCreateFromHDC(dc, &g) == 0) {
                    UINT w = 0, hh = 0;
                    GdipGetImageWidth(s->image, &w);
                    GdipGetImageHeight(s->image, &hh);
                    if (s->stretch)
                        GdipDrawImageRectI(g, s->image, 0, 0, rc.right, rc.bottom);
                    else
                        GdipDrawImageRectI(g, s->image, 0, 0, static_cast<INT>(w), static_cast<INT>(hh));
                    GdipDeleteGraphics(g);
                }
            }
            EndPaint(h, &ps);
            return 0;
        }
    }
    return DefWindowProcA(h, msg, wp, lp);
}
}  // namespace

HWND CreateImageView(HWND parent, int id, const RECT& at) {
    StartGdiplus();
    static bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = kClass;
        return RegisterClassExA(&wc) != 0;
    }();
    (void)registered;
    return CreateWindowExA(WS_EX_STATICEDGE, kClass, "", WS_CHILD, at.left, at.top, at.right - at.left,
                           at.bottom - at.top, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                           nullptr);
}

bool ImageViewShow(HWND view, const std::string& path) {
    State* s = Get(view);
    if (!s) return false;
    if (s->image) {
        GdipDisposeImage(s->image);
        s->image = nullptr;
    }
    bool ok = true;
    if (!path.empty()) {
        const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
        std::vector<WCHAR> wide(static_cast<size_t>(n > 0 ? n : 1));
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
        void* image = nullptr;
        if (GdipLoadImageFromFile(wide.data(), &image) == 0) {
            UINT w = 0;
            // A file GDI+ opens but cannot decode has no size: treat it as unreadable.
            if (GdipGetImageWidth(image, &w) == 0 && w > 0) s->image = image;
            else GdipDisposeImage(image);
        }
        ok = s->image != nullptr;
    }
    InvalidateRect(view, nullptr, TRUE);
    return ok;
}

void ImageViewSetStretch(HWND view, bool stretch) {
    if (State* s = Get(view)) {
        s->stretch = stretch;
        InvalidateRect(view, nullptr, TRUE);
    }
}

bool ImageViewHasPicture(HWND view) {
    State* s = Get(view);
    return s && s->image;
}

}  // namespace vm
