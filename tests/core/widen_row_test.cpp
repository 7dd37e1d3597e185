#include "image/widen_row.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

// Both widenings against the layout itself, at lengths around the vector step of 16 pixels.
// Sources are allocated to their exact size, so a read past them shows under the sanitizers;
// guard bytes after the destination show a write past it.
TEST(WidenBgrRow, GivesBlueGreenRedZeroAtEveryLengthAroundItsStep)
{
    std::mt19937 random(14);
    for (const int count : {0, 1, 2, 3, 5, 15, 16, 17, 31, 32, 33, 47, 48, 49, 100, 1921}) {
        std::vector<std::uint8_t> src(std::size_t(3 * count));
        std::vector<std::uint8_t> want(std::size_t(4 * count + 8), 0xAA), fast = want, plain = want;
        for (std::size_t i = 0; i < src.size(); ++i) {
            src[i] = std::uint8_t(random());
            want[i / 3 * 4 + i % 3] = src[i];
            want[i / 3 * 4 + 3] = 0;
        }
        WidenBgrRow(src.data(), fast.data(), count);
        WidenBgrRowPlain(src.data(), plain.data(), count);
        EXPECT_EQ(fast, want) << count << " pixels";
        EXPECT_EQ(plain, want) << count << " pixels";
    }
}
