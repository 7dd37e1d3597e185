#pragma once

// Interface agreed between layers; the owner of image/ may add members and a header struct,
// but keeps these signatures.

#include "image/bmp_decode.h"
#include "platform/page_memory.h"
#include "platform/surface.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

// One BMP file held in memory as one packed block: the info header and colour table as the file
// has them after its 14-byte file header, then the pixel array (only the bytes the picture
// uses), with the palette made from the colour table and the path it was read from.
class DibImage
{
public:
    DibImage();
    ~DibImage();
    DibImage(const DibImage &) = delete;
    DibImage &operator=(const DibImage &) = delete;

    // Reads the file; false, with the image unchanged, when it cannot be read or drawn. The
    // headers are read and checked first; anything but a regular file is refused at once.
    bool Load(const QString &path);
    // The same from a whole file already in memory; path is only recorded.
    bool LoadFromBytes(std::span<const std::uint8_t> file, const QString &path);
    void Clear();
    bool IsLoaded() const;
    std::int32_t GetWidth() const; // 0 when empty
    std::int32_t
    GetHeight() const; // number of rows, positive also for top-down files; 0 when empty
    QString GetPath() const;

    const std::uint8_t *GetBits() const; // first byte of the pixel array; null when empty
    // Why the last failed load failed (English, for the tool's messages).
    QString GetLoadError() const { return m_loadError; }

    // Draws the picture 1:1 at the surface's top-left corner (clipped to the surface).
    void Draw(Surface &surface) const;

private:
    // Reads length bytes of the file at offset into into; false when they cannot all be had.
    using ReadAt
        = std::function<bool(std::uint64_t offset, std::uint8_t *into, std::size_t length)>;
    bool LoadFrom(const ReadAt &read, std::uint64_t fileSize, const QString &path);
    bool Fail(const QString &why);

    PictureMemory m_block;
    std::size_t m_bitsAt = 0; // where the pixels start in the block
    DibHeader m_header;
    DibColors m_colors {};
    QString m_path;
    QString m_loadError;
};
