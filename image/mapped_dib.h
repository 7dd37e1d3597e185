#pragma once

#include "image/bmp_decode.h"
#include "image/file_read.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <span>

// A BMP file opened with its headers checked, for reading a picture a few rows at a time, so a
// picture of any size costs little memory. Takes exactly the files DibImage::Load takes.
// Uncompressed rows are read into the caller's buffer: mapping them would cost a page fault
// per few pages and, with other threads running, a flush of every core's page tables for
// each range given back. A run-length stream is mapped, as its rows are found by reading it
// from the start.
class MappedDib
{
public:
    MappedDib() = default;
    ~MappedDib();
    MappedDib(const MappedDib &) = delete;
    MappedDib &operator=(const MappedDib &) = delete;

    // False when the file is not a regular file, cannot be mapped or its headers are refused;
    // nothing is then held.
    bool Open(const QString &path);

    const DibHeader &Header() const { return m_header; }
    const DibColors &Colors() const { return m_colors; }
    // The bytes the pixel pass reads: the header's pixelBytes from its pixelOffset.
    std::span<const std::uint8_t> Pixels() const;
    // Gives back the pages that hold pixel bytes [from, to); touched again, they are read again.
    void Release(std::size_t from, std::size_t to) const;
    // Copies pixel bytes [from, from + count) into out; false with errno set when the file no
    // longer holds them or cannot be read.
    bool ReadPixels(std::size_t from, std::size_t count, std::uint8_t *out) const;

private:
    const std::uint8_t *m_data = nullptr; // the whole file
    std::size_t m_size = 0;
    FileDescriptor m_fd;
    DibHeader m_header;
    DibColors m_colors {};
};
