// RAII holders for the system's handles and GDI objects, so every early return frees them.
#pragma once

#include <windows.h>

#include <utility>

namespace tessaly::win {

template <typename T>
constexpr bool NotNull(T value) {
    return value != nullptr;
}
// CreateFile reports failure with INVALID_HANDLE_VALUE, the other creators with null.
inline bool IsOpenHandle(HANDLE h) {
    return h != nullptr && h != INVALID_HANDLE_VALUE;
}

// Holds one thing of type T that must be freed with the system's Free, moves it, never copies
// it, and frees it when it goes. IsSet tells a held thing from none.
template <typename T, auto Free, auto IsSet = &NotNull<T>>
class Owned {
  public:
    Owned() = default;
    explicit Owned(T value) : value_(value) {}
    ~Owned() { reset(); }
    Owned(Owned&& other) noexcept : value_(std::exchange(other.value_, T{})) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            reset();
            value_ = std::exchange(other.value_, T{});
        }
        return *this;
    }
    T get() const { return value_; }
    bool valid() const { return IsSet(value_); }
    explicit operator bool() const { return valid(); }
    void reset(T value = T{}) {
        if (IsSet(value_)) Free(value_);
        value_ = value;
    }
    // Hands it over to a caller that frees it itself.
    T release() { return std::exchange(value_, T{}); }

  private:
    T value_{};
};

// A kernel handle (file, mutex, timer, process, token, ...).
using Handle = Owned<HANDLE, &CloseHandle, &IsOpenHandle>;
// A folder watch from FindFirstChangeNotification, which has its own closing call.
using ChangeNotification = Owned<HANDLE, &FindCloseChangeNotification, &IsOpenHandle>;

// A GDI object made by us (font, brush, pen, bitmap). It must no longer be selected into a DC by
// then: hold it longer than any SelectedObject of it.
template <typename T>
using GdiObject = Owned<T, &DeleteObject>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Bitmap = GdiObject<HBITMAP>;

// An icon we loaded or made ourselves (not a shared one, which the system frees).
using Icon = Owned<HICON, &DestroyIcon>;
// A pop-up menu we made.
using Menu = Owned<HMENU, &DestroyMenu>;
using Accelerators = Owned<HACCEL, &DestroyAcceleratorTable>;
// A device context we created (CreateDC, CreateCompatibleDC, a print dialog's).
using OwnedDc = Owned<HDC, &DeleteDC>;
// Movable global memory (a printer's DEVMODE or DEVNAMES).
using GlobalMemory = Owned<HGLOBAL, &GlobalFree>;
// Memory the system allocated for us with LocalAlloc (a message text, a security descriptor, an
// argument list).
using LocalMemory = Owned<HLOCAL, &LocalFree>;
using RegistryKey = Owned<HKEY, &RegCloseKey>;
// Memory COM or the shell allocated for us (an item list).
template <typename P>
using TaskMemory = Owned<P, &CoTaskMemFree>;

// Movable global memory locked for one scope, seen as a T.
template <typename T>
class Locked {
  public:
    explicit Locked(HGLOBAL memory)
        : memory_(memory), data_(memory ? static_cast<T*>(GlobalLock(memory)) : nullptr) {}
    ~Locked() {
        if (data_) GlobalUnlock(memory_);
    }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
    T* get() const { return data_; }
    T* operator->() const { return data_; }
    explicit operator bool() const { return data_ != nullptr; }

  private:
    HGLOBAL memory_;
    T* data_;
};

// A window's DC for one operation (GetDC / ReleaseDC).
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// A memory DC compatible with another.
class MemoryDc : public OwnedDc {
  public:
    explicit MemoryDc(HDC like) : OwnedDc(CreateCompatibleDC(like)) {}
};

// Selects an object into a DC and puts the previous one back when it goes.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), old_(dc != nullptr && object != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace tessaly::win
