#include "bmp_builder.h"

#include <QFile>

#include <cstdio>
#include <string>

namespace testbmp {

namespace {

// Little-endian, size bytes.
void Put(Bytes &b, std::uint32_t v, int size)
{
    for (int i = 0; i < size; ++i)
        b.push_back(std::uint8_t(v >> 8 * i));
}

std::string Describe(COLORREF c)
{
    char text[48];
    std::snprintf(text, sizeof text, "RGB(%u, %u, %u)", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

} // namespace

Bytes BuildBmp(const BmpLayout &layout)
{
    Bytes info;
    Put(info, layout.headerSize, 4);
    if (layout.headerSize == 12) {
        Put(info, std::uint16_t(layout.width), 2);
        Put(info, std::uint16_t(layout.height), 2);
        Put(info, layout.planes, 2);
        Put(info, layout.bitCount, 2);
    } else {
        Put(info, std::uint32_t(layout.width), 4);
        Put(info, std::uint32_t(layout.height), 4);
        Put(info, layout.planes, 2);
        Put(info, layout.bitCount, 2);
    }
    if (layout.headerSize > 16) {
        Put(info, layout.compression, 4);
        Put(info, std::uint32_t(layout.pixels.size()), 4); // biSizeImage
        Put(info, 2835, 4);
        Put(info, 2835, 4);
        Put(info, layout.clrUsed, 4);
        Put(info, 0, 4);
        for (int i = 0; i < 4 && info.size() + 4 <= layout.headerSize; ++i)
            Put(info, layout.masks[i], 4);
        while (info.size() < layout.headerSize)
            info.push_back(0);
        if (layout.headerSize == 40 && (layout.compression == 3 || layout.compression == 6))
            for (int i = 0; i < (layout.compression == 6 ? 4 : 3); ++i)
                Put(info, layout.masks[i], 4);
    }
    const std::uint32_t entryBytes = layout.paletteEntryBytes ? layout.paletteEntryBytes
        : layout.headerSize == 12                             ? 3
                                                              : 4;
    for (COLORREF c : layout.palette) {
        info.push_back(GetBValue(c));
        info.push_back(GetGValue(c));
        info.push_back(GetRValue(c));
        if (entryBytes == 4)
            info.push_back(0);
    }
    info.insert(info.end(), layout.gap, 0xEE);

    Bytes file;
    file.push_back(std::uint8_t(layout.signature[0]));
    file.push_back(std::uint8_t(layout.signature[1]));
    Put(file, std::uint32_t(14 + info.size() + layout.pixels.size()), 4);
    Put(file, 0, 4);
    Put(file, layout.offBits.value_or(std::uint32_t(14 + info.size())), 4);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), layout.pixels.begin(), layout.pixels.end());
    return file;
}

Bytes PackRows(int bitCount, const std::vector<std::vector<std::uint32_t>> &rowsTopFirst,
               bool topDown)
{
    Bytes out;
    const int height = int(rowsTopFirst.size());
    for (int i = 0; i < height; ++i) {
        const auto &row = rowsTopFirst[topDown ? i : height - 1 - i];
        Bytes bytes;
        if (bitCount < 8) {
            const int perByte = 8 / bitCount;
            bytes.assign((row.size() + perByte - 1) / perByte, 0);
            for (std::size_t x = 0; x < row.size(); ++x) {
                const int shift = 8 - bitCount * int(x % perByte + 1);
                bytes[x / perByte] |= std::uint8_t(row[x] << shift);
            }
        } else {
            for (std::uint32_t v : row)
                for (int k = 0; k < bitCount / 8; ++k)
                    bytes.push_back(std::uint8_t(std::uint64_t(v) >> (8 * k)));
        }
        while (bytes.size() % 4)
            bytes.push_back(0);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

RleStream &RleStream::Absolute(const std::vector<std::uint8_t> &indices, bool fourBit)
{
    m_bytes.insert(m_bytes.end(), {0, std::uint8_t(indices.size())});
    Bytes data;
    if (fourBit) {
        for (std::size_t i = 0; i < indices.size(); i += 2)
            data.push_back(
                std::uint8_t(indices[i] << 4 | (i + 1 < indices.size() ? indices[i + 1] : 0)));
    } else {
        data = indices;
    }
    if (data.size() % 2)
        data.push_back(0);
    m_bytes.insert(m_bytes.end(), data.begin(), data.end());
    return *this;
}

RleStream &RleStream::Raw(std::initializer_list<std::uint8_t> bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

void WriteFile(const QString &path, const Bytes &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size())),
              qint64(bytes.size()));
}

std::uint32_t Pattern(int x, int y)
{
    return (std::uint32_t(x * 37 + y * 11) & 0xFF) << 16
        | (std::uint32_t(y * 53 + x * 3) & 0xFF) << 8 | (std::uint32_t(x * 5 + y * 97 + 13) & 0xFF);
}

Bytes Picture24(int width, int height, const std::function<std::uint32_t(int x, int y)> &rgb)
{
    std::vector<std::vector<std::uint32_t>> rows(height, std::vector<std::uint32_t>(width));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rows[y][x] = rgb(x, y);
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.pixels = PackRows(24, rows);
    return BuildBmp(layout);
}

void WriteSolid(const QString &path, int width, int height, std::uint32_t rgb)
{
    WriteFile(path, Picture24(width, height, [rgb](int, int) { return rgb; }));
}

Bytes ReadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

::testing::AssertionResult SurfaceShows(const Surface &surface, int width, int height,
                                        const std::vector<COLORREF> &expected)
{
    if (expected.size() != std::size_t(width) * std::size_t(height))
        return ::testing::AssertionFailure()
            << "expected colours do not cover " << width << " x " << height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF want = expected[std::size_t(y) * width + x];
            const COLORREF got = surface.GetPixel(x, y);
            if (got != want)
                return ::testing::AssertionFailure()
                    << "first difference at (" << x << ", " << y << "): got " << Describe(got)
                    << ", expected " << Describe(want);
        }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SamePixelsAs(const Surface &a, const Surface &b, int width, int height)
{
    std::vector<COLORREF> expected;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            expected.push_back(b.GetPixel(x, y));
    return SurfaceShows(a, width, height, expected);
}

} // namespace testbmp
