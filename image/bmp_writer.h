#pragma once

#include "image/atomic_file.h"
#include "platform/surface.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

// Writes the top-left width x height pixels of source as an uncompressed BMP file with no
// colour table, in the surface's pixel format (16, 24 or 32 bits), bottom row first. The file
// is replaced atomically (see AtomicFile): on failure the file that was there is left exactly as
// it was. Returns whether the file was written; error (may be null) receives the reason.
bool WriteBmpFile(const Surface &source, const QString &path, int width, int height,
                  LinkAtTarget links = LinkAtTarget::Refuse, QString *error = nullptr);

// A BMP file written a few rows at a time to its temporary beside the target, for pictures
// that are never held whole: the headers first, then the rows in file form (bottom row first,
// padded, as BmpFileRow makes them). Dropped unfinished, it removes its temporary.
class BmpRowWriter
{
public:
    // Opens the temporary and writes the headers of a width x height picture of bitCount
    // (16, 24 or 32) bits. When it cannot, Failed() says so and why; the target is as it was.
    BmpRowWriter(const QString &path, int width, int height, int bitCount, LinkAtTarget links);

    std::size_t RowBytes() const { return m_rowBytes; }
    // Appends the next rows; false once any write failed or more than the rows were given.
    bool Put(const std::uint8_t *bytes, std::size_t size);
    bool Failed() const { return m_file->Failed(); }
    const QString &Error() const { return m_file->Error(); }
    // Once, after the last row: the file waiting for its last step, which may run later on
    // another thread. Failed() is set on it when a write failed or rows are missing.
    std::unique_ptr<AtomicFile> Finish();

private:
    std::unique_ptr<AtomicFile> m_file;
    std::size_t m_rowBytes = 0;
    std::uint64_t m_left = 0;    // bytes still to come
    std::size_t m_unflushed = 0; // bytes written since the disk was last asked to start
};

// Row y of source in file form for a picture width pixels wide: the unused byte of 32-bit
// pixels and the top bit of 16-bit ones cleared, columns past the surface and the padding zero.
void BmpFileRow(const Surface &source, int y, int width, std::uint8_t *out);

// WriteBmpFile up to its last step: the file written whole to its temporary, to be committed
// later, maybe on another thread (a batch lets the wait for the disk overlap the next picture's
// work). Never null; when it failed, Failed() is set and the target is as it was.
std::unique_ptr<AtomicFile> WriteBmpFileUncommitted(const Surface &source, const QString &path,
                                                    int width, int height,
                                                    LinkAtTarget links = LinkAtTarget::Refuse);
