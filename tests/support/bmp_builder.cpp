#include "bmp_builder.h"

#include <QFile>

namespace testbmp {

static void Put(Bytes &b, std::uint64_t v, int size)
{
    for (int i = 0; i < size; ++i)
        b.push_back(std::uint8_t(v >> 8 * i));
}

Bytes BuildBmp(const BmpLayout &l)
{
    Bytes info;
    Put(info, l.headerSize, 4);
    const int side = l.headerSize == 12 ? 2 : 4; // the OS/2 1.x header has 16-bit sides
    Put(info, std::uint32_t(l.width), side);
    Put(info, std::uint32_t(l.height), side);
    Put(info, 1 | l.bitCount << 16, 4); // planes, bit count
    // The masks sit inside the header when it has room for them, else after a 40-byte one.
    const bool after = l.headerSize == 40 && (l.compression == 3 || l.compression == 6);
    const std::size_t end = after ? (l.compression == 6 ? 56 : 52) : l.headerSize;
    if (l.headerSize > 16) {
        for (std::uint32_t v :
             {l.compression, std::uint32_t(l.pixels.size()), 0u, 0u, l.clrUsed, 0u})
            Put(info, v, 4);
        for (int i = 0; i < 4 && info.size() + 4 <= end; ++i)
            Put(info, l.masks[i], 4);
        info.resize(std::max<std::size_t>(info.size(), l.headerSize));
    }
    const bool entry4 = l.paletteEntryBytes ? l.paletteEntryBytes == 4 : l.headerSize != 12;
    for (COLORREF c : l.palette)
        Put(info, GetBValue(c) | GetGValue(c) << 8 | GetRValue(c) << 16, entry4 ? 4 : 3);
    info.insert(info.end(), l.gap, 0xEE);

    Bytes file {std::uint8_t(l.signature[0]), std::uint8_t(l.signature[1])};
    Put(file, 14 + info.size() + l.pixels.size(), 4);
    Put(file, 0, 4);
    Put(file, l.offBits.value_or(std::uint32_t(14 + info.size())), 4);
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), l.pixels.begin(), l.pixels.end());
    return file;
}

Bytes PackRows(int bitCount, const std::vector<std::vector<std::uint32_t>> &rowsTopFirst,
               bool topDown)
{
    Bytes out;
    for (std::size_t i = 0; i < rowsTopFirst.size(); ++i) {
        const auto &row = rowsTopFirst[topDown ? i : rowsTopFirst.size() - 1 - i];
        const std::size_t start = out.size();
        for (std::size_t x = 0, bit = 0; x < row.size(); ++x, bit = (bit + bitCount) % 8)
            if (bitCount >= 8)
                Put(out, row[x], bitCount / 8);
            else if (bit == 0) // the first pixel in the high bits
                out.push_back(std::uint8_t(row[x] << (8 - bitCount)));
            else
                out.back() |= std::uint8_t(row[x] << (8 - bitCount - bit));
        out.resize(start + (out.size() - start + 3) / 4 * 4);
    }
    return out;
}

RleStream &RleStream::Absolute(const std::vector<std::uint8_t> &indices, bool fourBit)
{
    Raw({0, std::uint8_t(indices.size())});
    Bytes packed = PackRows(fourBit ? 4 : 8, {{indices.begin(), indices.end()}});
    packed.resize(((fourBit ? (indices.size() + 1) / 2 : indices.size()) + 1) / 2 * 2); // a word
    m_bytes.insert(m_bytes.end(), packed.begin(), packed.end());
    return *this;
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
    return BuildBmp({.width = width, .height = height, .pixels = PackRows(24, rows)});
}

void WriteFile(const QString &path, const Bytes &bytes)
{
    QFile file(path);
    const qint64 size = qint64(bytes.size());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)
                && file.write(reinterpret_cast<const char *>(bytes.data()), size) == size)
        << path.toStdString();
}

void WriteSolid(const QString &path, int width, int height, std::uint32_t rgb)
{
    WriteFile(path, Picture24(width, height, [rgb](int, int) { return rgb; }));
}

Bytes ReadFile(const QString &path)
{
    QFile file(path);
    const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return Bytes(data.begin(), data.end());
}

::testing::AssertionResult SurfaceShows(const Surface &surface, int width, int height,
                                        const std::vector<COLORREF> &expected)
{
    const auto rgb = [](COLORREF c) {
        return testing::PrintToString(std::tuple(+GetRValue(c), +GetGValue(c), +GetBValue(c)));
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (const COLORREF got = surface.GetPixel(x, y), want = expected.at(y * width + x);
                got != want)
                return ::testing::AssertionFailure()
                    << "first difference at (" << x << ", " << y << "): RGB" << rgb(got)
                    << ", expected RGB" << rgb(want);
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
