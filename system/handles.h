// Owners for Win32 handles, one traits type per kind: a small move-only
// template, so no handle is closed twice and none is leaked on an early return.
#pragma once

#include "system/win.h"

#include <objbase.h>
#include <shlobj.h>

#include <utility>

namespace kv {

template <typename Traits>
class UniqueHandle {
public:
  using Type = typename Traits::Type;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Type h) noexcept : h_(h) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Type Get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return Traits::IsValid(h_); }
  Type Release() noexcept { return std::exchange(h_, Traits::Invalid()); }
  void Reset(Type h = Traits::Invalid()) noexcept {
    if (Traits::IsValid(h_)) Traits::Close(h_);
    h_ = h;
  }
  // For out-parameters of the API: the previous handle is closed and the
  // handle emptied before its address goes out. The calls the program makes
  // write an empty handle, or nothing, when they fail, so a failed call leaves
  // it empty and nobody releases it by hand.
  Type* Receive() noexcept {
    Reset();
    return &h_;
  }

private:
  Type h_ = Traits::Invalid();
};

struct FileHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Type h) noexcept { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Type h) noexcept { ::CloseHandle(h); }
};
// Process, thread and token handles use the same close call.
using FileHandle = UniqueHandle<FileHandleTraits>;
using KernelHandle = UniqueHandle<FileHandleTraits>;

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Type h) noexcept { return h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) noexcept { ::FindClose(h); }
};
using FindHandle = UniqueHandle<FindHandleTraits>;

// Kinds whose invalid value is a null pointer, closed by one API call.
template <typename Handle, auto CloseFunction>
struct NullInvalidTraits {
  using Type = Handle;
  static Type Invalid() noexcept { return nullptr; }
  static bool IsValid(Type h) noexcept { return h != nullptr; }
  static void Close(Type h) noexcept { CloseFunction(h); }
};

using RegKey = UniqueHandle<NullInvalidTraits<HKEY, &::RegCloseKey>>;
template <typename Object>
using GdiObject = UniqueHandle<NullInvalidTraits<Object, &::DeleteObject>>;
// A memory device context from CreateCompatibleDC.
using MemoryDC = UniqueHandle<NullInvalidTraits<HDC, &::DeleteDC>>;
using AllocatedSid = UniqueHandle<NullInvalidTraits<PSID, &::FreeSid>>;
// Item lists the shell hands out, freed with the task allocator.
using Pidl = UniqueHandle<NullInvalidTraits<LPITEMIDLIST, &::CoTaskMemFree>>;

template <typename Interface>
struct ComTraits {
  using Type = Interface*;
  static Type Invalid() noexcept { return nullptr; }
  static bool IsValid(Type h) noexcept { return h != nullptr; }
  static void Close(Type h) noexcept { h->Release(); }
};
template <typename Interface>
using ComPtr = UniqueHandle<ComTraits<Interface>>;

// Pairs CoInitialize with CoUninitialize for one scope.
class ComScope {
public:
  ComScope() noexcept : ok_(SUCCEEDED(::CoInitialize(nullptr))) {}
  ~ComScope() {
    if (ok_) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool Ok() const noexcept { return ok_; }

private:
  bool ok_;
};

// A device context obtained with GetDC, released with ReleaseDC.
class WindowDC {
public:
  explicit WindowDC(HWND wnd) noexcept : wnd_(wnd), dc_(::GetDC(wnd)) {}
  ~WindowDC() {
    if (dc_) ::ReleaseDC(wnd_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC Get() const noexcept { return dc_; }

private:
  HWND wnd_;
  HDC dc_;
};

// A GDI object selected into a device context for one scope; the earlier
// object goes back in first, so the selected one can be deleted after.
class Selection {
public:
  Selection(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~Selection() { ::SelectObject(dc_, old_); }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;

private:
  HDC dc_;
  HGDIOBJ old_;
};

// The font a window draws its text with.
inline HFONT FontOf(HWND wnd) noexcept {
  return reinterpret_cast<HFONT>(::SendMessageA(wnd, WM_GETFONT, 0, 0));
}

}  // namespace kv
