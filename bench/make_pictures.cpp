// Writes the workload of the peer comparison: COUNT 24-bit bottom-up BMP files of WIDTH x
// HEIGHT in FOLDER, named PREFIX0000.bmp and on. The pixels are a gradient with noise on top,
// different in every file, so no tool gains from runs of equal bytes. Plain writes, no syncing:
// this is test data, made fast.
//
//   velmora_make_pictures FOLDER COUNT WIDTH HEIGHT [PREFIX]

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Put(std::vector<std::uint8_t> &file, std::size_t at, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        file[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

std::vector<std::uint8_t> Header(int width, int height, std::size_t stride)
{
    const auto pixelBytes = std::uint32_t(stride * std::size_t(height));
    std::vector<std::uint8_t> file(54 + std::size_t(pixelBytes));
    file[0] = 'B';
    file[1] = 'M';
    Put(file, 2, 54 + pixelBytes, 4); // bfSize
    Put(file, 10, 54, 4);             // bfOffBits
    Put(file, 14, 40, 4);             // biSize
    Put(file, 18, std::uint32_t(width), 4);
    Put(file, 22, std::uint32_t(height), 4); // positive: bottom row first
    Put(file, 26, 1, 2);                     // biPlanes
    Put(file, 28, 24, 2);                    // biBitCount
    Put(file, 34, pixelBytes, 4);            // biSizeImage
    return file;
}

// Blue, green and red of each pixel: a diagonal gradient, a per-file tint and a little noise.
void Paint(std::vector<std::uint8_t> &file, int width, int height, std::size_t stride,
           std::uint32_t seed)
{
    std::uint32_t noise = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = file.data() + 54 + std::size_t(y) * stride;
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const unsigned jitter = (noise >> 24) & 31;
            row[3 * x] = std::uint8_t(x * 255 / width + jitter);
            row[3 * x + 1] = std::uint8_t(y * 255 / height + jitter);
            row[3 * x + 2] = std::uint8_t((x + y) / 4 + seed * 37 + jitter);
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 5 || argc > 6) {
        std::fputs("usage: velmora_make_pictures FOLDER COUNT WIDTH HEIGHT [PREFIX]\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    const long count = std::strtol(argv[2], nullptr, 10);
    const int width = int(std::strtol(argv[3], nullptr, 10));
    const int height = int(std::strtol(argv[4], nullptr, 10));
    const std::string prefix = argc == 6 ? argv[5] : "picture";
    if (count < 0 || width <= 0 || height <= 0 || width > 30000 || height > 30000) {
        std::fputs("velmora_make_pictures: bad count or size\n", stderr);
        return 2;
    }
    const std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    std::vector<std::uint8_t> file = Header(width, height, stride);
    for (long i = 0; i < count; ++i) {
        Paint(file, width, height, stride, std::uint32_t(i));
        char name[32];
        std::snprintf(name, sizeof name, "%04ld.bmp", i);
        const std::string path = folder + "/" + prefix + name;
        std::FILE *out = std::fopen(path.c_str(), "wb");
        const bool ok = out && std::fwrite(file.data(), 1, file.size(), out) == file.size();
        if (!out || std::fclose(out) != 0 || !ok) {
            std::fprintf(stderr, "velmora_make_pictures: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
