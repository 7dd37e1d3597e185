#pragma once

#include "platform/surface.h"

#include <QIODevice>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

class QSaveFile;

// Writes the top-left width x height pixels of source as an uncompressed BMP file with no
// colour table, in the surface's pixel format (16, 24 or 32 bits), bottom row first. The file
// is replaced atomically: on failure the file that was there is left exactly as it was.
// Returns whether the file was written.
bool WriteBmpFile(const Surface &source, const QString &path, int width, int height);

// The step that puts bytes into the file, replaceable so tests can make a write fail part way.
using BmpByteSink = std::function<bool(QIODevice &out, const char *data, qint64 size)>;
bool WriteBmpFile(const Surface &source, const QString &path, int width, int height,
                  const BmpByteSink &sink);

// A file written whole to its temporary beside the target, waiting for its last step: flushed
// to disk and renamed over the target. A batch lets that wait overlap the next picture's work.
// Dropping it uncommitted removes the temporary and leaves the target as it was.
class PendingBmpFile
{
public:
    explicit PendingBmpFile(std::unique_ptr<QSaveFile> file);
    PendingBmpFile(const PendingBmpFile &) = delete;
    PendingBmpFile &operator=(const PendingBmpFile &) = delete;
    ~PendingBmpFile();

    // The last step, once; true when the file is in place. May run on another thread than the
    // one that wrote the file, as long as one thread at a time uses the object.
    bool Commit();

private:
    std::unique_ptr<QSaveFile> m_file;
};

// A BMP file written a few rows at a time to its temporary beside the target, for pictures
// that are never held whole: the headers first, then the rows in file form (bottom row first,
// padded, as BmpFileRow makes them). Dropped unfinished, it removes its temporary.
class BmpRowWriter
{
public:
    // Opens the temporary and writes the headers of a width x height picture of bitCount
    // (16, 24 or 32) bits; null when it cannot (the target is then as it was).
    static std::unique_ptr<BmpRowWriter> Begin(const QString &path, int width, int height,
                                               int bitCount, const BmpByteSink &sink = {});
    BmpRowWriter(const BmpRowWriter &) = delete;
    BmpRowWriter &operator=(const BmpRowWriter &) = delete;
    ~BmpRowWriter();

    std::size_t RowBytes() const { return m_rowBytes; }
    // Appends the next rows; false once any write failed or more than the rows were given.
    bool Put(const std::uint8_t *bytes, std::size_t size);
    // After the last row: the file waiting for its last step; null when a write failed or rows
    // are missing.
    static std::unique_ptr<PendingBmpFile> Finish(std::unique_ptr<BmpRowWriter> writer);

private:
    BmpRowWriter(std::unique_ptr<QSaveFile> file, BmpByteSink sink, std::size_t rowBytes,
                 std::uint64_t imageSize);

    std::unique_ptr<QSaveFile> m_file;
    BmpByteSink m_sink;
    std::size_t m_rowBytes = 0;
    std::uint64_t m_left = 0;    // bytes still to come
    std::size_t m_unflushed = 0; // bytes written since the disk was last asked to start
    bool m_ok = true;
};

// Row y of source in file form for a picture width pixels wide: the unused byte of 32-bit
// pixels and the top bit of 16-bit ones cleared, columns past the surface and the padding zero.
void BmpFileRow(const Surface &source, int y, int width, std::uint8_t *out);

// WriteBmpFile up to its last step; null when the file could not be written (the target is
// then as it was).
std::unique_ptr<PendingBmpFile> WriteBmpFileUncommitted(const Surface &source, const QString &path,
                                                        int width, int height,
                                                        const BmpByteSink &sink = {});
