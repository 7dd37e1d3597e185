#include "dib_file.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

bool DibFile::Open(const QString &path)
{
    if (m_fd.get() >= 0)
        return false;
    // Without blocking, as Load: only a regular file is read.
    FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    const int fd = file.get();
    struct stat status
    {
    };
    if (fd < 0 || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size <= 0)
        return false;
    const auto size = std::uint64_t(status.st_size);
    std::array<std::uint8_t, kDibHeadBytes> head {};
    const std::size_t headBytes = std::size_t(std::min<std::uint64_t>(size, head.size()));
    DibHeader header;
    if (!ReadFully(fd, 0, head.data(), headBytes)
        || ParseDibHeader({head.data(), headBytes}, size, header) != DibFault::None)
        return false;
    std::vector<std::uint8_t> table(header.ColorTableBytes());
    if (!ReadFully(fd, header.colorTableOffset, table.data(), table.size()))
        return false;
    m_fd = std::move(file);
    m_header = header;
    m_colors = DibColorLookup(header, table);
    // A run-length stream is read front to back, once: read ahead of it.
    if (header.IsRunLength())
        ::posix_fadvise(fd, off_t(header.pixelOffset), 0, POSIX_FADV_SEQUENTIAL);
    return true;
}

bool DibFile::ReadPixels(std::size_t from, std::size_t count, std::uint8_t *out) const
{
    return ReadFully(m_fd.get(), m_header.pixelOffset + from, out, count);
}

DibRleRows DibFile::RunLengthRows() const
{
    return DibRleRows(m_header, m_colors,
                      [this](std::size_t from, std::size_t count, std::uint8_t *into) {
                          return ReadPixels(from, count, into);
                      });
}
