#pragma once
// Owning wrapper for a kernel handle: closed exactly once, move-only.

#include <windows.h>

#include <type_traits>
#include <utility>

class UniqueHandle {
  public:
    UniqueHandle() = default;
    // Takes ownership; both nullptr and INVALID_HANDLE_VALUE mean "no handle".
    explicit UniqueHandle(HANDLE handle)
        : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            close();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { close(); }

    explicit operator bool() const { return handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    HANDLE release() { return std::exchange(handle_, nullptr); }

    // Closes now; false when closing failed. Closing nothing succeeds.
    bool close() {
        if (!handle_)
            return true;
        return CloseHandle(std::exchange(handle_, nullptr)) != FALSE;
    }

  private:
    HANDLE handle_ = nullptr;
};

static_assert(!std::is_copy_constructible_v<UniqueHandle>);
static_assert(std::is_nothrow_move_constructible_v<UniqueHandle>);
