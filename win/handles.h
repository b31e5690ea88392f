// RAII holders for the system's handles and GDI objects, so every early return frees them.
#pragma once

#include <windows.h>

#include <utility>

namespace tessaly::win {

// Holds one thing of type T that must be freed with Free, moves it, never copies it, and frees
// it when it goes. IsSet tells a held thing from none.
template <typename T, void (*Free)(T), bool (*IsSet)(T)>
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

namespace holders {
template <typename T>
bool NotNull(T value) {
    return value != nullptr;
}
// CreateFile reports failure with INVALID_HANDLE_VALUE, the other creators with null.
inline bool IsOpen(HANDLE h) {
    return h != nullptr && h != INVALID_HANDLE_VALUE;
}
inline void Close(HANDLE h) {
    CloseHandle(h);
}
template <typename T>
void DeleteGdi(T object) {
    DeleteObject(object);
}
inline void DestroyIconOf(HICON icon) {
    DestroyIcon(icon);
}
inline void DestroyMenuOf(HMENU menu) {
    DestroyMenu(menu);
}
inline void DestroyAccelerators(HACCEL table) {
    DestroyAcceleratorTable(table);
}
inline void DeleteDcOf(HDC dc) {
    DeleteDC(dc);
}
inline void FreeGlobal(HGLOBAL memory) {
    GlobalFree(memory);
}
inline void FreeLocal(HLOCAL memory) {
    LocalFree(memory);
}
inline void CloseKey(HKEY key) {
    RegCloseKey(key);
}
template <typename P>
void FreeTask(P memory) {
    CoTaskMemFree(memory);
}
}  // namespace holders

// A kernel handle (file, mutex, timer, process, token, ...).
using Handle = Owned<HANDLE, &holders::Close, &holders::IsOpen>;

// A GDI object made by us (font, brush, pen, bitmap), deleted with DeleteObject. It must no
// longer be selected into a DC by then: hold it longer than any SelectedObject of it.
template <typename T>
using GdiObject = Owned<T, &holders::DeleteGdi<T>, &holders::NotNull<T>>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Bitmap = GdiObject<HBITMAP>;

// An icon we loaded or made ourselves (not a shared one, which the system frees).
using Icon = Owned<HICON, &holders::DestroyIconOf, &holders::NotNull<HICON>>;
// A pop-up menu we made.
using Menu = Owned<HMENU, &holders::DestroyMenuOf, &holders::NotNull<HMENU>>;
// An accelerator table we made.
using Accelerators = Owned<HACCEL, &holders::DestroyAccelerators, &holders::NotNull<HACCEL>>;
// A device context we created (CreateDC, CreateCompatibleDC, a print dialog's), deleted with
// DeleteDC.
using OwnedDc = Owned<HDC, &holders::DeleteDcOf, &holders::NotNull<HDC>>;
// Movable global memory (a printer's DEVMODE or DEVNAMES), freed with GlobalFree.
using GlobalMemory = Owned<HGLOBAL, &holders::FreeGlobal, &holders::NotNull<HGLOBAL>>;
// Memory the system allocated for us with LocalAlloc (a message text, a security descriptor, an
// argument list), freed with LocalFree.
using LocalMemory = Owned<HLOCAL, &holders::FreeLocal, &holders::NotNull<HLOCAL>>;
// An open registry key.
using RegistryKey = Owned<HKEY, &holders::CloseKey, &holders::NotNull<HKEY>>;
// Memory COM or the shell allocated for us (an item list), freed with CoTaskMemFree.
template <typename P>
using TaskMemory = Owned<P, &holders::FreeTask<P>, &holders::NotNull<P>>;

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
