#include "platform/page_memory.h"
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kMiB = std::size_t(1) << 20;

bool AllZero(const std::uint8_t *p, std::size_t n)
{
    return std::all_of(p, p + n, [](std::uint8_t b) { return b == 0; });
}

} // namespace

// A freed picture block comes back for the next picture of its size: cleared when asked for
// zeroed memory (a new surface is black), as it was otherwise.
TEST(PictureMemory, ReusedBlocksAreClearedWhenZeroIsAsked)
{
    const std::size_t bytes = 8 * kMiB + 4096;
    std::uint8_t *first = AllocatePictureMemory(bytes);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(AllZero(first, bytes));
    std::memset(first, 0xAB, bytes);
    FreePictureMemory(first, bytes);

    std::uint8_t *again = AllocatePictureMemory(bytes);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again, first); // the same pages, not fresh ones
    EXPECT_TRUE(AllZero(again, bytes));
    std::memset(again, 0xCD, bytes);
    FreePictureMemory(again, bytes);

    std::uint8_t *any = AllocatePictureMemory(bytes, PictureFill::Any);
    EXPECT_EQ(any, first);
    FreePictureMemory(any, bytes);

    // A surface made after a stamped picture was released starts black all the same.
    {
        Surface used(1024, 2049, 32);
        std::memset(used.Bits(), 0x7F, used.ByteCount());
    }
    Surface fresh(1024, 2049, 32);
    EXPECT_TRUE(AllZero(fresh.Bits(), fresh.ByteCount()));
}

// What is kept for reuse is bounded however many pictures pass, and a huge one is returned to
// the system at once.
TEST(PictureMemory, KeptBlocksStayBounded)
{
    std::vector<std::pair<std::uint8_t *, std::size_t>> blocks;
    for (int i = 0; i < 12; ++i) {
        const std::size_t bytes = (5 + std::size_t(i)) * kMiB;
        blocks.emplace_back(AllocatePictureMemory(bytes), bytes);
        ASSERT_NE(blocks.back().first, nullptr);
    }
    for (const auto &[memory, bytes] : blocks)
        FreePictureMemory(memory, bytes);
    EXPECT_LE(KeptPictureMemory(), 64 * kMiB);
    EXPECT_GT(KeptPictureMemory(), 0u);

    const std::size_t before = KeptPictureMemory();
    const std::size_t huge = 100 * kMiB;
    std::uint8_t *big = AllocatePictureMemory(huge);
    ASSERT_NE(big, nullptr);
    FreePictureMemory(big, huge);
    EXPECT_EQ(KeptPictureMemory(), before);

    // Small blocks go through the ordinary allocator and are never kept.
    std::uint8_t *small = AllocatePictureMemory(1000);
    ASSERT_NE(small, nullptr);
    EXPECT_TRUE(AllZero(small, 1000));
    FreePictureMemory(small, 1000);
    EXPECT_EQ(KeptPictureMemory(), before);
}
