#include "file_read.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include <unistd.h>

FileDescriptor::~FileDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

FileDescriptor &FileDescriptor::operator=(FileDescriptor &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool ReadFully(int fd, std::uint64_t offset, std::uint8_t *into, std::size_t length)
{
    while (length > 0) {
        const ssize_t got = ::pread(fd, into, length, off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            if (got == 0)
                errno = ENODATA;
            return false;
        }
        into += got;
        offset += std::uint64_t(got);
        length -= std::size_t(got);
    }
    return true;
}

QString SystemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
