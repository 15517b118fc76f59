#pragma once

// Owning wrappers for the handle kinds this program opens. Each closes what it holds when it goes
// out of scope; Close() is there for the callers that must know whether closing worked.

#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { (void)Close(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      (void)Close();
      handle_ = other.Release();
    }
    return *this;
  }

  bool IsValid() const { return Traits::IsValid(handle_); }
  Handle Get() const { return handle_; }

  // For calls that hand a new handle back through a pointer; whatever was held is closed first.
  Handle* Receive() {
    (void)Close();
    return &handle_;
  }

  Handle Release() { return std::exchange(handle_, Traits::Invalid()); }

  // True when a handle was held and the platform closed it.
  bool Close() {
    if (!IsValid()) return false;
    return Traits::Close(Release());
  }

 private:
  Handle handle_ = Traits::Invalid();
};

// Kernel objects: both null and INVALID_HANDLE_VALUE mean "none", as different calls use either.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static bool Close(Handle h) { return ::CloseHandle(h) != FALSE; }
};
using ScopedHandle = UniqueHandle<KernelHandleTraits>;

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static bool Close(Handle h) { return ::FindClose(h) != FALSE; }
};
using ScopedFindHandle = UniqueHandle<FindHandleTraits>;

// Memory the system allocated with LocalAlloc on our behalf (security descriptors, ACLs, texts).
struct LocalMemoryTraits {
  using Handle = HLOCAL;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static bool Close(Handle h) { return ::LocalFree(h) == nullptr; }
};
using ScopedLocalMemory = UniqueHandle<LocalMemoryTraits>;
