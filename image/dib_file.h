#pragma once

#include "image/bmp_decode.h"
#include "image/file_read.h"

#include <QString>

#include <cstddef>
#include <cstdint>

// A BMP file opened with its headers checked, for reading a picture a few rows at a time, so a
// picture of any size costs little memory. Takes exactly the files DibImage::Load takes.
// Everything is read by offset into the caller's memory, never mapped: a file that another
// program cuts short then fails to read where it ends, instead of killing the program, and
// there are no page faults or page-table flushes to pay for.
class DibFile
{
public:
    // False when the file is not a regular file, cannot be read or its headers are refused.
    bool Open(const QString &path);

    const DibHeader &Header() const { return m_header; }
    const DibColors &Colors() const { return m_colors; }
    // Copies pixel bytes [from, from + count) (from the header's pixelOffset) into out; false
    // with errno set when the file no longer holds them or cannot be read.
    bool ReadPixels(std::size_t from, std::size_t count, std::uint8_t *out) const;
    // The rows of a run-length picture, read from the file as they are decoded.
    DibRleRows RunLengthRows() const;

private:
    FileDescriptor m_fd;
    DibHeader m_header;
    DibColors m_colors {};
};
