#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Bounds-checked windows onto a byte buffer. Every read outside the window yields 0 (or an
// empty slice) and every write outside it is dropped, so the algorithms above can follow the
// bytes of an untrusted image without checking offsets themselves.
class ByteView {
public:
    ByteView() = default;
    ByteView(const unsigned char* data, std::size_t size) : m_data(data), m_size(data ? size : 0) {}

    const unsigned char* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    bool contains(std::size_t at, std::size_t len) const {
        return at <= m_size && len <= m_size - at;
    }

    std::uint8_t u8(std::size_t at) const { return at < m_size ? m_data[at] : 0; }
    std::uint16_t u16le(std::size_t at) const {
        return static_cast<std::uint16_t>(u8(at) | (u8(at + 1) << 8));
    }
    std::uint32_t u32le(std::size_t at) const {
        return static_cast<std::uint32_t>(u16le(at)) |
               (static_cast<std::uint32_t>(u16le(at + 2)) << 16);
    }
    // The part of [at, at + len) that lies inside the view.
    ByteView slice(std::size_t at, std::size_t len) const {
        if (at >= m_size)
            return {};
        std::size_t n = len < m_size - at ? len : m_size - at;
        return {m_data + at, n};
    }
    // Copies len bytes from at into dest; bytes outside the view are copied as 0.
    void copyTo(unsigned char* dest, std::size_t at, std::size_t len) const {
        ByteView part = slice(at, len);
        if (!part.empty())
            std::memcpy(dest, part.data(), part.size());
        if (part.size() < len)
            std::memset(dest + part.size(), 0, len - part.size());
    }

private:
    const unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
};

class MutableByteView {
public:
    MutableByteView() = default;
    MutableByteView(unsigned char* data, std::size_t size)
        : m_data(data), m_size(data ? size : 0) {}

    operator ByteView() const { return {m_data, m_size}; }
    unsigned char* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool contains(std::size_t at, std::size_t len) const {
        return at <= m_size && len <= m_size - at;
    }

    std::uint8_t u8(std::size_t at) const { return at < m_size ? m_data[at] : 0; }
    std::uint16_t u16le(std::size_t at) const { return ByteView(*this).u16le(at); }
    void setU8(std::size_t at, std::uint8_t v) const {
        if (at < m_size)
            m_data[at] = v;
    }
    void setU16le(std::size_t at, std::uint16_t v) const {
        setU8(at, static_cast<std::uint8_t>(v & 0xFF));
        setU8(at + 1, static_cast<std::uint8_t>(v >> 8));
    }
    void setU32le(std::size_t at, std::uint32_t v) const {
        setU16le(at, static_cast<std::uint16_t>(v & 0xFFFF));
        setU16le(at + 2, static_cast<std::uint16_t>(v >> 16));
    }
    MutableByteView slice(std::size_t at, std::size_t len) const {
        if (at >= m_size)
            return {};
        std::size_t n = len < m_size - at ? len : m_size - at;
        return {m_data + at, n};
    }
    // Writes the bytes of src at `at`; what would fall outside the view is dropped.
    void write(std::size_t at, const unsigned char* src, std::size_t len) const {
        MutableByteView part = slice(at, len);
        if (part.size())
            std::memcpy(part.data(), src, part.size());
    }
    void fill(std::size_t at, std::size_t len, unsigned char value) const {
        MutableByteView part = slice(at, len);
        if (part.size())
            std::memset(part.data(), value, part.size());
    }

private:
    unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
};
