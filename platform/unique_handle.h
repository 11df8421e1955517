#pragma once
// Move-only owners of Win32 handles: each closes its handle with the function
// of its kind when it goes out of scope.

#include <windows.h>

#include <utility>

namespace kaviro::platform {

template <typename Traits>
class UniqueResource {
  public:
    using Handle = typename Traits::Handle;

    UniqueResource() = default;
    explicit UniqueResource(Handle handle) : handle_(handle) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept
        : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.handle_, Traits::Invalid()));
        return *this;
    }
    ~UniqueResource() { Reset(); }

    [[nodiscard]] Handle Get() const { return handle_; }
    [[nodiscard]] bool Valid() const { return handle_ != Traits::Invalid(); }
    explicit operator bool() const { return Valid(); }

    void Reset(Handle handle = Traits::Invalid()) {
        if (Valid())
            Traits::Close(handle_);
        handle_ = handle;
    }
    [[nodiscard]] Handle Release() { return std::exchange(handle_, Traits::Invalid()); }

  private:
    Handle handle_ = Traits::Invalid();
};

// Kernel handles from CreateFile and friends (INVALID_HANDLE_VALUE when absent).
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseHandle(handle); }
};
using UniqueFileHandle = UniqueResource<FileHandleTraits>;

// Kernel handles that use null for "none" (threads, processes, events).
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { CloseHandle(handle); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

// Search handles from FindFirstFile.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { FindClose(handle); }
};
using UniqueFindHandle = UniqueResource<FindHandleTraits>;

}  // namespace kaviro::platform
