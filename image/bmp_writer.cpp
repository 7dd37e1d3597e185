#include "bmp_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

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

bool WriteBmpFile(const Surface &source, const QString &path, int width, int height,
                  LinkAtTarget links, QString *error)
{
    const auto file = WriteBmpFileUncommitted(source, path, width, height, links);
    const bool written = file->Commit();
    if (!written && error)
        *error = file->Error();
    return written;
}

BmpRowWriter::BmpRowWriter(const QString &path, int width, int height, int bitCount,
                           LinkAtTarget links)
    : m_file(std::make_unique<AtomicFile>(path, links))
{
    if (width <= 0 || height <= 0 || (bitCount != 16 && bitCount != 24 && bitCount != 32)) {
        m_file->Fail(QStringLiteral("no picture to write"));
        return;
    }
    m_rowBytes = Surface::StrideFor(width, bitCount);
    const std::uint64_t imageSize = std::uint64_t(m_rowBytes) * std::uint64_t(height);
    if (imageSize + kHeaderBytes > 0xFFFFFFFFu) { // bfSize could not hold it
        m_file->Fail(QStringLiteral("too large for a BMP file"));
        return;
    }
    m_left = imageSize + kHeaderBytes;

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
    if (m_file->Open())
        Put(header, kHeaderBytes);
}

bool BmpRowWriter::Put(const std::uint8_t *bytes, std::size_t size)
{
    if (size > m_left)
        m_file->Fail(QStringLiteral("more rows than the picture has"));
    if (!m_file->Write(bytes, size))
        return false;
    m_left -= size;
    m_unflushed += size;
    if (m_unflushed >= kChunkBytes) {
        // The disk starts on what is written while the rest is made, so the sync of the commit
        // finds little left to do.
        m_unflushed = 0;
        m_file->StartWriteBack();
    }
    return true;
}

std::unique_ptr<AtomicFile> BmpRowWriter::Finish()
{
    if (m_left != 0)
        m_file->Fail(QStringLiteral("rows are missing"));
    return std::move(m_file);
}

void BmpFileRow(const Surface &source, int y, int width, std::uint8_t *out)
{
    FileRow(source, y, width, Surface::StrideFor(width, source.BitsPerPixel()), out);
}

std::unique_ptr<AtomicFile> WriteBmpFileUncommitted(const Surface &source, const QString &path,
                                                    int width, int height, LinkAtTarget links)
{
    BmpRowWriter writer(path, width, height, source.IsNull() ? 0 : source.BitsPerPixel(), links);
    if (writer.Failed())
        return writer.Finish();
    const std::size_t rowBytes = writer.RowBytes();
    // Rows go out turned around in chunks of about a megabyte: few large writes. A small
    // picture gets a chunk of its own size, not a megabyte to clear.
    const std::size_t chunkRows = std::min<std::size_t>(
        std::size_t(height), std::max<std::size_t>(1, kChunkBytes / rowBytes));
    std::vector<std::uint8_t> chunk(chunkRows * rowBytes);
    std::size_t filled = 0;
    for (int y = height - 1; y >= 0; --y) { // bottom row first
        FileRow(source, y, width, rowBytes, chunk.data() + filled);
        filled += rowBytes;
        if (filled + rowBytes > chunk.size() || y == 0) {
            if (!writer.Put(chunk.data(), filled))
                break;
            filled = 0;
        }
    }
    return writer.Finish();
}
