// An owned, zero-filled array on the process heap: what the program needs of a container
// without pulling the standard library's containers (and their exception machinery) into it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <type_traits>
#include <utility>

namespace fw {

template <typename T>
class HeapArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                  "plain data only: the memory is zero-filled and freed without destructors");

public:
    HeapArray() noexcept = default;
    // Empty when the memory cannot be had (or count is 0); callers test before use.
    explicit HeapArray(std::size_t count) noexcept {
        if (count == 0 || count > static_cast<std::size_t>(-1) / sizeof(T)) return;
        m_p = static_cast<T*>(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, count * sizeof(T)));
        if (m_p) m_count = count;
    }
    ~HeapArray() {
        if (m_p) ::HeapFree(::GetProcessHeap(), 0, m_p);
    }
    HeapArray(HeapArray&& other) noexcept
        : m_p(std::exchange(other.m_p, nullptr)), m_count(std::exchange(other.m_count, 0)) {}
    HeapArray& operator=(HeapArray&& other) noexcept {
        if (this != &other) {
            HeapArray old(std::move(*this));
            m_p = std::exchange(other.m_p, nullptr);
            m_count = std::exchange(other.m_count, 0);
        }
        return *this;
    }
    HeapArray(const HeapArray&) = delete;
    HeapArray& operator=(const HeapArray&) = delete;

    // Makes room for at least count elements, keeping the first used ones; false without memory.
    bool Grow(std::size_t count, std::size_t used) noexcept {
        if (count <= m_count) return true;
        const std::size_t twice = m_count * 2;
        HeapArray bigger(twice > count ? twice : (count < 16 ? 16 : count));
        if (!bigger) return false;
        if (used) ::CopyMemory(bigger.m_p, m_p, used * sizeof(T));
        *this = std::move(bigger);
        return true;
    }

    T* get() const noexcept { return m_p; }
    std::size_t size() const noexcept { return m_count; }
    explicit operator bool() const noexcept { return m_p != nullptr; }
    T& operator[](std::size_t i) const noexcept { return m_p[i]; }

private:
    T* m_p = nullptr;
    std::size_t m_count = 0;
};

// A terminated copy of text on the heap, or an empty array when there is no memory for it.
inline HeapArray<wchar_t> CopyToHeap(const wchar_t* text) {
    const std::size_t length = text ? static_cast<std::size_t>(::lstrlenW(text)) : 0;
    HeapArray<wchar_t> copy(length + 1);
    if (copy && length) ::CopyMemory(copy.get(), text, length * sizeof(wchar_t));
    return copy;
}

}  // namespace fw
