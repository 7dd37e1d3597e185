// Feeds arbitrary bytes to the BMP reader: load, draw, write what was drawn, read it back and
// check the round trip gives the same pixels.

#include "image/bmp_writer.h"
#include "image/dib_image.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("round-trip.bmp"));

    DibImage image;
    if (!image.LoadFromBytes({data, size}, QStringLiteral("input.bmp")))
        return 0;
    Check(image.GetWidth() > 0 && image.GetHeight() > 0, "loaded with an empty size");
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
