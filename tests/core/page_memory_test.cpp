#include "platform/page_memory.h"
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

// A picture block asked for cleared comes back cleared whether it is fresh, reused after a
// stamped picture, small or large, and two live blocks of one size never share their bytes.
TEST(PictureMemory, BlocksAreClearedAndNeverShared)
{
    const auto zero = [](const std::uint8_t *p, std::size_t n) {
        return std::count(p, p + n, 0) == std::ptrdiff_t(n);
    };
    for (const std::size_t bytes : {std::size_t(1000), std::size_t(8 << 20) + 4096})
        for (int round = 0; round < 2; ++round) {
            std::uint8_t *a = AllocatePictureMemory(bytes), *b = AllocatePictureMemory(bytes);
            ASSERT_TRUE(a && b);
            EXPECT_TRUE(zero(a, bytes) && zero(b, bytes)) << bytes << " round " << round;
            std::fill_n(a, bytes, 0xAB);
            std::fill_n(b, bytes, 0xCD);
            EXPECT_TRUE(a[0] == 0xAB && a[bytes - 1] == 0xAB) << bytes;
            FreePictureMemory(a, bytes);
            FreePictureMemory(b, bytes);
        }
    // A surface made after a stamped picture was released starts black all the same.
    std::memset(Surface(1024, 2049, 32).Bits(), 0x7F, Surface::StrideFor(1024, 32) * 2049);
    Surface fresh(1024, 2049, 32);
    EXPECT_TRUE(zero(fresh.Bits(), fresh.ByteCount()));
}
