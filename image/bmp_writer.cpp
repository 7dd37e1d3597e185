#include "bmp_writer.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include <fcntl.h>

namespace {

constexpr std::size_t kHeaderBytes = 54;
// Rows go out through a buffer of about this size.
constexpr std::size_t kChunkBytes = std::size_t(1) << 20;

void Put16(std::uint8_t *&p, std::uint32_t v)
{
    *p++ = std::uint8_t(v);
    *p++ = std::uint8_t(v >> 8);
}

void Put32(std::uint8_t *&p, std::uint32_t v)
{
    Put16(p, v & 0xFFFF);
    Put16(p, v >> 16);
}

bool PlainWrite(QIODevice &out, const char *data, qint64 size)
{
    return out.write(data, size) == size;
}

// Copies one surface row into its file form: the unused byte of 32-bit pixels and the top bit
// of 16-bit ones are cleared (text drawing may have set them), columns past the surface and the
// row padding are zero. Whole words at a time, so the loops stay free of branches.
void FileRow(const Surface &source, int y, int width, std::size_t rowBytes, std::uint8_t *out)
{
    if (y >= source.Height()) {
        std::memset(out, 0, rowBytes);
        return;
    }
    const int bytesPerPixel = source.BitsPerPixel() / 8;
    const int columns = std::min(width, source.Width());
    const std::uint8_t *src = source.Row(y);
    const std::size_t used = std::size_t(columns) * bytesPerPixel;
    if (bytesPerPixel == 4) {
        for (int x = 0; x < columns; ++x) {
            std::uint32_t p;
            std::memcpy(&p, src + 4 * x, 4);
            p &= 0x00FFFFFFu; // blue, green, red kept; the unused byte, last in memory, cleared
            std::memcpy(out + 4 * x, &p, 4);
        }
    } else if (bytesPerPixel == 2) {
        for (int x = 0; x < columns; ++x) {
            std::uint16_t p;
            std::memcpy(&p, src + 2 * x, 2);
            p &= 0x7FFF;
            std::memcpy(out + 2 * x, &p, 2);
        }
    } else {
        std::memcpy(out, src, used);
    }
    std::memset(out + used, 0, rowBytes - used);
}

} // namespace

bool WriteBmpFile(const Surface &source, const QString &path, int width, int height)
{
    return WriteBmpFile(source, path, width, height, PlainWrite);
}

PendingBmpFile::PendingBmpFile(std::unique_ptr<QSaveFile> file)
    : m_file(std::move(file))
{ }

// An uncommitted QSaveFile discards its temporary when destroyed.
PendingBmpFile::~PendingBmpFile() = default;

bool PendingBmpFile::Commit()
{
    return m_file->isOpen() && m_file->commit();
}

bool WriteBmpFile(const Surface &source, const QString &path, int width, int height,
                  const BmpByteSink &sink)
{
    const auto pending = WriteBmpFileUncommitted(source, path, width, height, sink);
    return pending && pending->Commit();
}

std::unique_ptr<BmpRowWriter> BmpRowWriter::Begin(const QString &path, int width, int height,
                                                  int bitCount, const BmpByteSink &sink)
{
    if (width <= 0 || height <= 0 || (bitCount != 16 && bitCount != 24 && bitCount != 32))
        return nullptr;
    const std::size_t rowBytes = Surface::StrideFor(width, bitCount);
    const std::uint64_t imageSize = std::uint64_t(rowBytes) * std::uint64_t(height);
    if (imageSize + kHeaderBytes > 0xFFFFFFFFu)
        return nullptr; // bfSize could not hold it

    std::uint8_t header[kHeaderBytes];
    std::uint8_t *p = header;
    *p++ = 'B'; // bfType
    *p++ = 'M';
    Put32(p, std::uint32_t(imageSize + kHeaderBytes)); // bfSize
    Put16(p, 0);                                       // bfReserved1
    Put16(p, 0);                                       // bfReserved2
    Put32(p, kHeaderBytes);                            // bfOffBits
    Put32(p, 40);                                      // biSize
    Put32(p, std::uint32_t(width));                    // biWidth
    Put32(p, std::uint32_t(height));                   // biHeight: positive, bottom row first
    Put16(p, 1);                                       // biPlanes
    Put16(p, std::uint32_t(bitCount));                 // biBitCount
    Put32(p, 0);                                       // biCompression: BI_RGB
    Put32(p, std::uint32_t(imageSize));                // biSizeImage
    Put32(p, 0);                                       // biXPelsPerMeter
    Put32(p, 0);                                       // biYPelsPerMeter
    Put32(p, 0);                                       // biClrUsed
    Put32(p, 0);                                       // biClrImportant

    const QFileInfo existing(path);
    const bool replacing = existing.exists();
    const QFileDevice::Permissions permissions = existing.permissions();

    auto file = std::make_unique<QSaveFile>(path);
    // Never write over the target in place: a failure must leave the old file whole.
    file->setDirectWriteFallback(false);
    if (!file->open(QIODevice::WriteOnly))
        return nullptr;
    if (replacing)
        file->setPermissions(permissions);
    std::unique_ptr<BmpRowWriter> writer(new BmpRowWriter(
        std::move(file), sink ? sink : BmpByteSink(PlainWrite), rowBytes, imageSize));
    if (!writer->Put(header, kHeaderBytes))
        return nullptr;
    return writer;
}

BmpRowWriter::BmpRowWriter(std::unique_ptr<QSaveFile> file, BmpByteSink sink, std::size_t rowBytes,
                           std::uint64_t imageSize)
    : m_file(std::move(file))
    , m_sink(std::move(sink))
    , m_rowBytes(rowBytes)
    , m_left(imageSize + kHeaderBytes)
{ }

// An unfinished file's temporary is removed with it.
BmpRowWriter::~BmpRowWriter() = default;

bool BmpRowWriter::Put(const std::uint8_t *bytes, std::size_t size)
{
    m_ok = m_ok && size <= m_left
        && m_sink(*m_file, reinterpret_cast<const char *>(bytes), qint64(size));
    if (!m_ok)
        return false;
    m_left -= size;
    m_unflushed += size;
    if (m_unflushed >= kChunkBytes) {
        // The disk starts on what is written while the rest is made, so the flush of the
        // commit finds little left to do. The start is only a hint: the commit's flush is what
        // is checked; bytes that cannot leave the buffer are a failed write.
        m_unflushed = 0;
        m_ok = m_file->flush();
        if (m_ok)
            ::sync_file_range(m_file->handle(), 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    return m_ok;
}

std::unique_ptr<PendingBmpFile> BmpRowWriter::Finish(std::unique_ptr<BmpRowWriter> writer)
{
    if (!writer || !writer->m_ok || writer->m_left != 0)
        return nullptr;
    return std::make_unique<PendingBmpFile>(std::move(writer->m_file));
}

void BmpFileRow(const Surface &source, int y, int width, std::uint8_t *out)
{
    FileRow(source, y, width, Surface::StrideFor(width, source.BitsPerPixel()), out);
}

std::unique_ptr<PendingBmpFile> WriteBmpFileUncommitted(const Surface &source, const QString &path,
                                                        int width, int height,
                                                        const BmpByteSink &sink)
{
    if (source.IsNull())
        return nullptr;
    auto writer = BmpRowWriter::Begin(path, width, height, source.BitsPerPixel(), sink);
    if (!writer)
        return nullptr;
    const std::size_t rowBytes = writer->RowBytes();
    // Rows go out turned around in chunks of about a megabyte: few large writes. A small
    // picture gets a chunk of its own size, not a megabyte to clear.
    const std::size_t chunkRows = std::min<std::size_t>(
        std::size_t(height), std::max<std::size_t>(1, kChunkBytes / rowBytes));
    std::vector<std::uint8_t> chunk(chunkRows * rowBytes);
    std::size_t filled = 0;
    bool ok = true;
    for (int y = height - 1; ok && y >= 0; --y) { // bottom row first
        FileRow(source, y, width, rowBytes, chunk.data() + filled);
        filled += rowBytes;
        if (filled + rowBytes > chunk.size() || y == 0) {
            ok = writer->Put(chunk.data(), filled);
            filled = 0;
        }
    }
    return BmpRowWriter::Finish(std::move(writer));
}
