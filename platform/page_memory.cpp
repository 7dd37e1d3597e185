#include "page_memory.h"

#include <cstdlib>

#include <sys/mman.h>

namespace {

// Below this, the ordinary allocator is the better choice.
constexpr std::size_t kLargeBlock = std::size_t(4) << 20;

} // namespace

std::uint8_t *AllocatePictureMemory(std::size_t bytes)
{
    if (bytes < kLargeBlock)
        return static_cast<std::uint8_t *>(std::calloc(bytes ? bytes : 1, 1));
    void *memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return nullptr;
#ifdef MADV_HUGEPAGE
    madvise(memory, bytes, MADV_HUGEPAGE);
#endif
    return static_cast<std::uint8_t *>(memory);
}

void FreePictureMemory(std::uint8_t *memory, std::size_t bytes)
{
    if (!memory)
        return;
    if (bytes < kLargeBlock)
        std::free(memory);
    else
        munmap(memory, bytes);
}
