// One small owner per kind of Win32 handle, so nothing leaks on an early
// return. Destructors never throw.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <objbase.h>

#include <utility>

namespace ui::win32 {

// Owns a value of type T and releases it with Close when it is not `none`.
template <class T, auto Close, T none = T{}>
class Owned {
  public:
    Owned() = default;
    explicit Owned(T value) : value_(value) {}
    ~Owned() { reset(); }
    Owned(Owned&& other) noexcept : value_(std::exchange(other.value_, none)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            reset();
            value_ = std::exchange(other.value_, none);
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    T get() const { return value_; }
    explicit operator bool() const { return value_ != none; }
    T release() { return std::exchange(value_, none); }
    void reset(T value = none) {
        if (value_ != none) Close(value_);
        value_ = value;
    }

  private:
    T value_ = none;
};

inline void close_gdi(HGDIOBJ object) {
    DeleteObject(object);
}
inline void close_handle(HANDLE handle) {
    CloseHandle(handle);
}
inline void close_icon(HICON icon) {
    DestroyIcon(icon);
}

using Bitmap = Owned<HBITMAP, close_gdi>;
using Font = Owned<HFONT, close_gdi>;
using Region = Owned<HRGN, close_gdi>;
using Brush = Owned<HBRUSH, close_gdi>;
using Handle = Owned<HANDLE, close_handle>;
using Icon = Owned<HICON, close_icon>;

// A memory device context compatible with the screen, with one object
// selected into it for its lifetime.
class MemoryDc {
  public:
    explicit MemoryDc(HDC reference) : dc_(CreateCompatibleDC(reference)) {}
    ~MemoryDc() {
        if (old_ != nullptr) SelectObject(dc_, old_);
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC get() const { return dc_; }
    void select(HGDIOBJ object) {
        HGDIOBJ previous = SelectObject(dc_, object);
        if (old_ == nullptr) old_ = previous;
    }

  private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

// Calls CoUninitialize when COM was started by this holder.
class ComScope {
  public:
    ComScope() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (ok_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool ok_;
};

// A COM interface pointer released on scope exit.
template <class I>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    I* get() const { return p_; }
    I* operator->() const { return p_; }
    I** put() {
        reset();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    explicit operator bool() const { return p_ != nullptr; }
    void reset() {
        if (p_ != nullptr) p_->Release();
        p_ = nullptr;
    }

  private:
    I* p_ = nullptr;
};

}  // namespace ui::win32
