#include "dib_image.h"

#include "file_read.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // Without blocking: a FIFO would wait for a writer, a terminal for a line. Only a regular
    // file is read; anything else is refused before a byte of it is.
    const FileDescriptor fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return Fail(QStringLiteral("cannot be opened: %1").arg(SystemReason(errno)));
    struct stat status;
    if (::fstat(fd.get(), &status) != 0)
        return Fail(QStringLiteral("cannot be opened: %1").arg(SystemReason(errno)));
    if (!S_ISREG(status.st_mode))
        return Fail(QStringLiteral("not a regular file"));
    const auto read = [&fd](std::uint64_t offset, std::uint8_t *into, std::size_t length) {
        return ReadFully(fd.get(), offset, into, length);
    };
    return LoadFrom(read, std::uint64_t(status.st_size), path);
}

bool DibImage::LoadFromBytes(std::span<const std::uint8_t> file, const QString &path)
{
    const auto read = [file](std::uint64_t offset, std::uint8_t *into, std::size_t length) {
        if (offset > file.size() || length > file.size() - offset)
            return false;
        std::memcpy(into, file.data() + offset, length);
        return true;
    };
    return LoadFrom(read, file.size(), path);
}

bool DibImage::LoadFrom(const ReadAt &read, std::uint64_t fileSize, const QString &path)
{
    // The headers first, from the file's first bytes: everything is refused from them before
    // anything is allocated.
    std::uint8_t head[kDibHeadBytes];
    const std::size_t headBytes = std::size_t(std::min<std::uint64_t>(fileSize, kDibHeadBytes));
    if (headBytes >= 14 && !read(0, head, headBytes))
        return Fail(QStringLiteral("read error: %1").arg(SystemReason(errno)));
    DibHeader header;
    const DibFault fault = ParseDibHeader({head, headBytes}, fileSize, header);
    if (fault != DibFault::None)
        return Fail(QString::fromLatin1(DibFaultText(fault)));

    // Then only the bytes the picture uses: the info header and colour table, and the pixels
    // wherever they start; a gap before them and anything after them are never read.
    const std::size_t infoBytes
        = std::size_t(header.colorTableOffset - 14) + header.ColorTableBytes();
    const std::size_t size = infoBytes + header.pixelBytes;
    auto block = MakePictureMemory(size, PictureFill::Any); // filled whole below
    if (!block)
        return Fail(QStringLiteral("out of memory"));
    if (!read(14, block.get(), infoBytes)
        || !read(header.pixelOffset, block.get() + infoBytes, header.pixelBytes))
        return Fail(QStringLiteral("read error: %1").arg(SystemReason(errno)));

    const std::span<const std::uint8_t> table(block.get() + (header.colorTableOffset - 14),
                                              header.ColorTableBytes());
    m_block = std::move(block);
    m_bitsAt = infoBytes;
    m_header = header;
    m_colors = DibColorLookup(header, table);
    m_path = path;
    m_loadError.clear();
    return true;
}

void DibImage::Clear()
{
    m_block.reset();
    m_bitsAt = 0;
    m_header = DibHeader {};
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
    return m_block ? m_block.get() + m_bitsAt : nullptr;
}

void DibImage::Draw(Surface &surface) const
{
    if (!m_block)
        return;
    DrawDib(m_header, m_colors, {m_block.get() + m_bitsAt, m_header.pixelBytes}, surface);
}
