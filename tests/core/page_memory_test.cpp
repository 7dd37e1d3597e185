#include "platform/page_memory.h"

#include <gtest/gtest.h>

#include <algorithm>

// A picture block asked for cleared comes back cleared whether it is fresh or reused after a
// stamped picture (the second round), small or large, and two live blocks never share bytes.
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
}
