#include "dib_image.h"

#include <QFile>

#include <cstring>

namespace {

// Larger files are refused before anything is allocated.
constexpr std::uint32_t kMaxBlockSize = 0xCCCCCCCC;

std::uint32_t FileHeaderU32(const std::uint8_t *header, int at)
{
    return std::uint32_t(header[at]) | std::uint32_t(header[at + 1]) << 8
        | std::uint32_t(header[at + 2]) << 16 | std::uint32_t(header[at + 3]) << 24;
}

bool IsBmpSignature(const std::uint8_t *header)
{
    return header[0] == 'B' && header[1] == 'M';
}

// The block is filled whole from the file before anything reads it.
PictureMemory AllocateBlock(std::uint32_t size)
{
    return MakePictureMemory(size, PictureFill::Any);
}

} // namespace

DibImage::DibImage() = default;

DibImage::~DibImage()
{
    Clear();
}

bool DibImage::Fail(const QString &why)
{
    m_loadError = why;
    return false;
}

bool DibImage::Load(const QString &path)
{
    QFile file(path);
    // Unbuffered: the block is read straight into its own memory, with no copy on the way.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return Fail(QStringLiteral("cannot be opened: %1").arg(file.errorString()));
    const qint64 length = file.size();
    if (length < 14)
        return Fail(QStringLiteral("not a BMP file (too short)"));
    if (std::uint64_t(length) - 14 > kMaxBlockSize)
        return Fail(QStringLiteral("file too large"));
    const auto size = std::uint32_t(length - 14);
    auto block = AllocateBlock(size);
    if (!block)
        return Fail(QStringLiteral("out of memory"));
    std::uint8_t fileHeader[14];
    if (file.read(reinterpret_cast<char *>(fileHeader), 14) != 14)
        return Fail(QStringLiteral("read error"));
    if (!IsBmpSignature(fileHeader))
        return Fail(QStringLiteral("not a BMP file"));
    if (size > 0 && file.read(reinterpret_cast<char *>(block.get()), size) != qint64(size))
        return Fail(QStringLiteral("read error"));
    return Adopt(std::move(block), size, FileHeaderU32(fileHeader, 10), path);
}

bool DibImage::LoadFromBytes(std::span<const std::uint8_t> file, const QString &path)
{
    if (file.size() < 14)
        return Fail(QStringLiteral("not a BMP file (too short)"));
    if (file.size() - 14 > kMaxBlockSize)
        return Fail(QStringLiteral("file too large"));
    if (!IsBmpSignature(file.data()))
        return Fail(QStringLiteral("not a BMP file"));
    const auto size = std::uint32_t(file.size() - 14);
    auto block = AllocateBlock(size);
    if (!block)
        return Fail(QStringLiteral("out of memory"));
    std::memcpy(block.get(), file.data() + 14, size);
    return Adopt(std::move(block), size, FileHeaderU32(file.data(), 10), path);
}

bool DibImage::Adopt(PictureMemory block, std::uint32_t size, std::uint32_t fileOffBits,
                     const QString &path)
{
    DibHeader header;
    const DibFault fault = ParseDibHeader({block.get(), size}, fileOffBits, header);
    if (fault != DibFault::None)
        return Fail(QString::fromLatin1(DibFaultText(fault)));

    std::vector<PaletteEntry> entries;
    entries.reserve(header.colorCount);
    for (std::uint32_t i = 0; i < header.colorCount; ++i) {
        // Colour entries are stored blue, green, red.
        const std::uint8_t *e = block.get() + header.colorTableOffset + i * header.colorEntrySize;
        entries.push_back({e[2], e[1], e[0], 0});
    }

    m_block = std::move(block);
    m_blockSize = size;
    m_header = header;
    m_palette = DibPalette(std::move(entries));
    m_path = path;
    m_loadError.clear();
    return true;
}

void DibImage::Clear()
{
    m_block.reset();
    m_blockSize = 0;
    m_header = DibHeader {};
    m_palette = DibPalette {};
    m_path.clear();
}

bool DibImage::IsLoaded() const
{
    return m_block != nullptr;
}

std::int32_t DibImage::GetWidth() const
{
    return m_block ? m_header.width : 0;
}

std::int32_t DibImage::GetHeight() const
{
    return m_block ? m_header.height : 0;
}

QString DibImage::GetPath() const
{
    return m_path;
}

const std::uint8_t *DibImage::GetBits() const
{
    return m_block ? m_block.get() + m_header.pixelOffset : nullptr;
}

const std::uint8_t *DibImage::GetInfo() const
{
    return m_block.get();
}

const DibHeader *DibImage::GetHeader() const
{
    return m_block ? &m_header : nullptr;
}

const DibPalette *DibImage::GetPalette() const
{
    return m_palette.IsEmpty() ? nullptr : &m_palette;
}

void DibImage::Draw(Surface &surface) const
{
    if (!m_block)
        return;
    DrawDib(m_header, {m_block.get(), m_blockSize}, surface);
}
