#include "mapped_dib.h"

#include <QFile>

#include <algorithm>
#include <utility>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::size_t PageSize()
{
    static const std::size_t size = std::size_t(::sysconf(_SC_PAGESIZE));
    return size;
}

} // namespace

MappedDib::~MappedDib()
{
    if (m_data)
        ::munmap(const_cast<std::uint8_t *>(m_data), m_size);
}

bool MappedDib::Open(const QString &path)
{
    if (m_data)
        return false;
    // Without blocking, as Load: only a regular file is read.
    FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    const int fd = file.get();
    if (fd < 0)
        return false;
    struct stat status
    {
    };
    void *at = MAP_FAILED;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0
        && std::uint64_t(status.st_size) <= SIZE_MAX)
        at = ::mmap(nullptr, std::size_t(status.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (at == MAP_FAILED)
        return false;
    const auto *data = static_cast<const std::uint8_t *>(at);
    const auto size = std::size_t(status.st_size);
    DibHeader header;
    if (ParseDibHeader({data, std::min(size, kDibHeadBytes)}, size, header) != DibFault::None) {
        ::munmap(at, size);
        return false;
    }
    m_data = data;
    m_size = size;
    m_fd = std::move(file);
    m_header = header;
    m_colors = DibColorLookup(header, {data + header.colorTableOffset, header.ColorTableBytes()});
    // A run-length stream is read front to back, once: read ahead of it.
    if (header.IsRunLength())
        ::madvise(at, size, MADV_SEQUENTIAL);
    return true;
}

std::span<const std::uint8_t> MappedDib::Pixels() const
{
    if (!m_data)
        return {};
    return {m_data + m_header.pixelOffset, m_header.pixelBytes};
}

void MappedDib::Release(std::size_t from, std::size_t to) const
{
    // At each fault the system maps the neighbouring pages too (64 KiB around it): pages given
    // back just before come back that way, and would stay. The range is widened to take them.
    constexpr std::size_t kFaultAround = std::size_t(64) << 10;
    const std::size_t page = PageSize();
    const std::size_t first = m_header.pixelOffset + from;
    const std::size_t start = (first - std::min(first, kFaultAround)) / page * page;
    const std::size_t end = std::min<std::size_t>(m_size, m_header.pixelOffset + to + kFaultAround);
    if (!m_data || end <= start)
        return;
    ::madvise(const_cast<std::uint8_t *>(m_data) + start, end - start, MADV_DONTNEED);
}

bool MappedDib::ReadPixels(std::size_t from, std::size_t count, std::uint8_t *out) const
{
    return ReadFully(m_fd.get(), m_header.pixelOffset + from, out, count);
}
