// Move-only owners for the system's handles, and scoped guards for device-context state.
#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

template <typename H, typename Close>
class Unique {
  public:
    Unique() = default;
    explicit Unique(H h) : h_(h) {}
    Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, H{})) {}
    Unique& operator=(Unique&& o) noexcept {
        if (this != &o) {
            reset(std::exchange(o.h_, H{}));
        }
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != H{}; }
    // Hands the handle to an owner that the system provides (a window destroys its menu bar).
    H release() { return std::exchange(h_, H{}); }
    void reset(H h = H{}) {
        if (h_ != H{}) {
            Close{}(h_);
        }
        h_ = h;
    }

  private:
    H h_{};
};

struct CloseGdi {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct CloseHandleFn {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
struct CloseMetafile {
    void operator()(HENHMETAFILE h) const { DeleteEnhMetaFile(h); }
};
struct CloseIcon {
    void operator()(HICON h) const { DestroyIcon(h); }
};
struct CloseMenu {
    void operator()(HMENU h) const { DestroyMenu(h); }
};
struct CloseWindow {
    void operator()(HWND h) const { DestroyWindow(h); }
};

using UniqueFont = Unique<HFONT, CloseGdi>;
using UniqueBrush = Unique<HBRUSH, CloseGdi>;
using UniqueHandle = Unique<HANDLE, CloseHandleFn>;
using UniqueMetafile = Unique<HENHMETAFILE, CloseMetafile>;
using UniqueIcon = Unique<HICON, CloseIcon>;
using UniqueMenu = Unique<HMENU, CloseMenu>;
using UniqueWindow = Unique<HWND, CloseWindow>;

// A file handle's "none" is INVALID_HANDLE_VALUE, not 0.
class UniqueFileHandle {
  public:
    explicit UniqueFileHandle(HANDLE h) : h_(h) {}
    UniqueFileHandle(const UniqueFileHandle&) = delete;
    UniqueFileHandle& operator=(const UniqueFileHandle&) = delete;
    ~UniqueFileHandle() { close(); }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    bool close() {
        bool ok = true;
        if (valid()) {
            ok = CloseHandle(h_) != 0;
            h_ = INVALID_HANDLE_VALUE;
        }
        return ok;
    }

  private:
    HANDLE h_;
};

class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~ScopedSelect() { SelectObject(dc_, old_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// BeginPaint and its EndPaint.
class ScopedPaint {
  public:
    explicit ScopedPaint(HWND window) : window_(window), dc_(BeginPaint(window, &ps_)) {}
    ~ScopedPaint() { EndPaint(window_, &ps_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC dc() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// GetDC and its ReleaseDC; a null window is the screen.
class ScopedGetDC {
  public:
    explicit ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedGetDC() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

class ScopedTextColours {
  public:
    ScopedTextColours(HDC dc, COLORREF text, int bkMode) : dc_(dc) {
        oldText_ = SetTextColor(dc, text);
        oldMode_ = SetBkMode(dc, bkMode);
    }
    ~ScopedTextColours() {
        SetTextColor(dc_, oldText_);
        SetBkMode(dc_, oldMode_);
    }
    ScopedTextColours(const ScopedTextColours&) = delete;
    ScopedTextColours& operator=(const ScopedTextColours&) = delete;

  private:
    HDC dc_;
    COLORREF oldText_;
    int oldMode_;
};

}  // namespace win32
