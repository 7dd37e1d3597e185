#include "floor.h"

#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t kHeaderBytes = 54;

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

} // namespace

bool FloorConvert(const QString &in, const QString &out, bool keepSafe)
{
    QFile file(in);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    const auto size = std::size_t(file.size());
    if (size < kHeaderBytes)
        return false;
    std::unique_ptr<std::uint8_t[]> bytes(new std::uint8_t[size]);
    if (file.read(reinterpret_cast<char *>(bytes.get()), qint64(size)) != qint64(size))
        return false;
    std::int32_t w = 0, h = 0;
    std::memcpy(&w, bytes.get() + 18, 4);
    std::memcpy(&h, bytes.get() + 22, 4);
    if (w <= 0 || h <= 0)
        return false;
    const std::size_t inStride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
    const std::size_t outStride = std::size_t(w) * 4;
    if (kHeaderBytes + inStride * std::size_t(h) > size)
        return false;

    const std::size_t resultSize = kHeaderBytes + outStride * std::size_t(h);
    std::unique_ptr<std::uint8_t[]> result(new std::uint8_t[resultSize]);
    std::memcpy(result.get(), bytes.get(), kHeaderBytes);
    Put32(result.get() + 2, std::uint32_t(resultSize));
    result[28] = 32; // biBitCount
    result[29] = 0;
    Put32(result.get() + 34, std::uint32_t(outStride * std::size_t(h)));
    for (int y = 0; y < h; ++y) {
        const std::uint8_t *s = bytes.get() + kHeaderBytes + std::size_t(y) * inStride;
        std::uint8_t *d = result.get() + kHeaderBytes + std::size_t(y) * outStride;
        for (int x = 0; x < w; ++x) {
            d[4 * x] = s[3 * x];
            d[4 * x + 1] = s[3 * x + 1];
            d[4 * x + 2] = s[3 * x + 2];
            d[4 * x + 3] = 0;
        }
    }

    const QByteArray target = QFile::encodeName(out);
    const QByteArray temporary = keepSafe ? target + ".floor-tmp" : target;
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, result.get(), resultSize);
    if (keepSafe)
        ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (keepSafe && ok)
        ok = std::rename(temporary.constData(), target.constData()) == 0;
    return ok;
}
