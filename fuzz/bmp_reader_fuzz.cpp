// Feeds arbitrary bytes to the BMP reader: load, draw, write what was drawn, read it back and
// check the round trip gives the same pixels; a run-length stream read a window at a time must
// decode as the stream held whole.

#include "image/bmp_decode.h"
#include "image/bmp_writer.h"
#include "image/dib_image.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

namespace {

// Drawing clips to the surface; a bounded one keeps each input fast.
constexpr int kMaxSide = 512;

void Check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "bmp reader fuzz: %s\n", what);
        std::abort();
    }
}

// A run-length stream read a window at a time decodes as the stream held whole, wherever its
// commands fall across the windows' ends: the smallest window puts them there at every offset.
void CheckWindowedRows(std::span<const std::uint8_t> file)
{
    DibHeader h;
    const std::size_t head = std::min(file.size(), kDibHeadBytes);
    if (ParseDibHeader(file.first(head), file.size(), h) != DibFault::None || !h.IsRunLength())
        return;
    Check(h.pixelOffset + h.pixelBytes <= file.size()
              && h.colorTableOffset + h.ColorTableBytes() <= file.size(),
          "headers point past the file");
    const DibColors colors
        = DibColorLookup(h, file.subspan(h.colorTableOffset, h.ColorTableBytes()));
    const auto stream = file.subspan(h.pixelOffset, h.pixelBytes);
    DibRleRows whole(h, colors, stream);
    const DibStreamRead read = [stream](std::size_t from, std::size_t count, std::uint8_t *into) {
        Check(from + count <= stream.size(), "a window read past the stream");
        std::memcpy(into, stream.data() + from, count);
        return true;
    };
    DibRleRows windowed(h, colors, read, kDibRleCommandBytes);
    std::vector<std::uint32_t> expected(std::size_t(h.width)), got(std::size_t(h.width));
    for (int row = 0; row < std::min(h.height, kMaxSide); ++row) {
        whole.Next(expected.data());
        Check(windowed.Next(got.data()) && got == expected,
              "a stream read a window at a time decodes otherwise");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("round-trip.bmp"));

    DibImage image;
    if (!image.LoadFromBytes({data, size}, QStringLiteral("input.bmp")))
        return 0;
    Check(image.GetWidth() > 0 && image.GetHeight() > 0, "loaded with an empty size");
    CheckWindowedRows({data, size});
    // What a picture costs its reader and the writer after it is bounded by its file's size.
    const std::uint64_t unpacked = std::uint64_t(image.GetWidth()) * image.GetHeight() * 4;
    Check(unpacked <= std::max(kMaxCompressedUnpackedBytes, kMaxCompressedExpansion * size),
          "a small file unpacks to a huge picture");
    const int width = std::min(image.GetWidth(), kMaxSide);
    const int height = std::min(image.GetHeight(), kMaxSide);
    Surface drawn(width, height, 32);
    Check(!drawn.IsNull(), "no surface");
    image.Draw(drawn);

    Check(WriteBmpFile(drawn, path, width, height), "write failed");
    DibImage back;
    Check(back.Load(path), "written file does not load");
    Check(back.GetWidth() == width && back.GetHeight() == height, "written size differs");
    Surface again(width, height, 32);
    back.Draw(again);
    Check(std::memcmp(drawn.Bits(), again.Bits(), drawn.ByteCount()) == 0,
          "round trip changed pixels");
    return 0;
}
