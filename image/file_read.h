#pragma once

// Reading a picture file by offset, with the system's reason when that fails.

#include <QString>

#include <cstddef>
#include <cstdint>

// Owns an open file descriptor.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1)
        : m_fd(fd)
    { }
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    FileDescriptor &operator=(FileDescriptor &&other) noexcept;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Reads all length bytes at offset; false otherwise, with errno set: ENODATA when the file ends
// first (it was cut short after it was measured).
bool ReadFully(int fd, std::uint64_t offset, std::uint8_t *into, std::size_t length);

// The system's words for an errno value, in the user's language.
QString SystemReason(int error);
