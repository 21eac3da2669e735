#pragma once

// Result of DiskImage::Load, and the conversion every operation's result enum uses to give
// the int the operations return.

enum class LoadResult : int { Ok = 0, NotAContainer = 1 };

template <typename E> constexpr int ToInt(E e) {
    return static_cast<int>(e);
}
