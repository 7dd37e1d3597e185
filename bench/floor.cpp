#include "floor.h"

#include "image/widen_row.h"

#include <QFile>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kHeaderBytes = 54;
// The result goes out in pieces of about this size: small enough to stay in the cache between
// widening and writing, large enough for few system calls.
constexpr std::size_t kChunkBytes = std::size_t(1) << 20;

void Put32(std::uint8_t *at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        at[i] = std::uint8_t(v >> (8 * i));
}

bool WriteAll(int fd, const std::uint8_t *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0)
            return false;
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

// The input file mapped read-only for the life of one conversion.
class MappedFile
{
public:
    explicit MappedFile(const QByteArray &path)
    {
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        struct stat info
        {
        };
        if (::fstat(fd, &info) == 0 && info.st_size > 0) {
            void *at = ::mmap(nullptr, std::size_t(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (at != MAP_FAILED) {
                m_data = static_cast<const std::uint8_t *>(at);
                m_size = std::size_t(info.st_size);
            }
        }
        ::close(fd);
    }
    ~MappedFile()
    {
        if (m_data)
            ::munmap(const_cast<std::uint8_t *>(m_data), m_size);
    }
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    const std::uint8_t *Data() const { return m_data; }
    std::size_t Size() const { return m_size; }

private:
    const std::uint8_t *m_data = nullptr;
    std::size_t m_size = 0;
};

void WidenRow(const std::uint8_t *s, std::uint8_t *d, int width)
{
    for (int x = 0; x < width; ++x) {
        d[4 * x] = s[3 * x];
        d[4 * x + 1] = s[3 * x + 1];
        d[4 * x + 2] = s[3 * x + 2];
        d[4 * x + 3] = 0;
    }
}

enum class Widening { Plain, Vector };
enum class Flush { None, Fsync, Fdatasync };

bool Convert(const QString &in, const QString &out, Widening widening, Flush flush)
{
    const bool keepSafe = flush != Flush::None;
    const MappedFile file(QFile::encodeName(in));
    const std::uint8_t *bytes = file.Data();
    const std::size_t size = file.Size();
    if (size < kHeaderBytes)
        return false;
    std::int32_t w = 0, h = 0;
    std::memcpy(&w, bytes + 18, 4);
    std::memcpy(&h, bytes + 22, 4);
    if (w <= 0 || h <= 0)
        return false;
    const std::size_t inStride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
    const std::size_t outStride = std::size_t(w) * 4;
    if (kHeaderBytes + inStride * std::size_t(h) > size)
        return false;

    std::uint8_t header[kHeaderBytes];
    std::memcpy(header, bytes, kHeaderBytes);
    Put32(header + 2, std::uint32_t(kHeaderBytes + outStride * std::size_t(h)));
    header[28] = 32; // biBitCount
    header[29] = 0;
    Put32(header + 34, std::uint32_t(outStride * std::size_t(h)));

    const QByteArray target = QFile::encodeName(out);
    const QByteArray temporary = keepSafe ? target + ".floor-tmp" : target;
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, header, kHeaderBytes);
    const std::size_t rowsPerChunk = std::max<std::size_t>(1, kChunkBytes / outStride);
    std::vector<std::uint8_t> chunk(rowsPerChunk * outStride);
    for (std::size_t y = 0; ok && y < std::size_t(h); y += rowsPerChunk) {
        const std::size_t rows = std::min(rowsPerChunk, std::size_t(h) - y);
        for (std::size_t r = 0; r < rows; ++r) {
            const std::uint8_t *from = bytes + kHeaderBytes + (y + r) * inStride;
            std::uint8_t *to = chunk.data() + r * outStride;
            if (widening == Widening::Vector)
                WidenBgrRow(from, to, w);
            else
                WidenRow(from, to, w);
        }
        ok = WriteAll(fd, chunk.data(), rows * outStride);
    }
    if (flush == Flush::Fsync)
        ok = ok && ::fsync(fd) == 0;
    else if (flush == Flush::Fdatasync)
        ok = ok && ::fdatasync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (keepSafe && ok)
        ok = std::rename(temporary.constData(), target.constData()) == 0;
    return ok;
}

} // namespace

bool FloorConvert(const QString &in, const QString &out, bool keepSafe)
{
    return Convert(in, out, Widening::Plain, keepSafe ? Flush::Fsync : Flush::None);
}

bool FloorConvertStreaming(const QString &in, const QString &out)
{
    return Convert(in, out, Widening::Vector, Flush::Fdatasync);
}
