#include "platform/widen_row.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

// The widening chosen at run time against the plain one and against the layout itself, at
// lengths around the vector step of 16 pixels. Rows are allocated to their exact size, so a
// read past the end of the source shows under the sanitizers; guard bytes after the
// destination show a write past it.
TEST(WidenBgrRow, GivesBlueGreenRedZeroAtEveryLengthAroundItsStep)
{
#if defined(__x86_64__) || defined(__i386__)
    EXPECT_EQ(WidenBgrRowIsVector(), bool(__builtin_cpu_supports("ssse3")));
#endif
    std::mt19937 random(14);
    for (const int count : {0, 1, 2, 3, 5, 15, 16, 17, 31, 32, 33, 47, 48, 49, 100, 1921}) {
        std::vector<std::uint8_t> src(std::size_t(3 * count));
        for (auto &b : src)
            b = std::uint8_t(random());
        std::vector<std::uint8_t> fast(std::size_t(4 * count + 8), 0xAA), plain = fast;
        WidenBgrRow(src.data(), fast.data(), count);
        WidenBgrRowPlain(src.data(), plain.data(), count);
        EXPECT_EQ(fast, plain) << count << " pixels";
        for (int x = 0; x < count; ++x) {
            const std::uint8_t *s = &src[std::size_t(3 * x)], *d = &plain[std::size_t(4 * x)];
            ASSERT_TRUE(d[0] == s[0] && d[1] == s[1] && d[2] == s[2] && d[3] == 0)
                << "pixel " << x << " of " << count;
        }
        for (std::size_t i = std::size_t(4 * count); i < plain.size(); ++i)
            ASSERT_EQ(plain[i], 0xAA) << "written past " << count << " pixels";
    }
}
