#include "page_memory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include <sys/mman.h>

namespace {

// Below this, the ordinary allocator is the better choice and reuses memory by itself.
constexpr std::size_t kLargeBlock = std::size_t(4) << 20;
// Freed large blocks kept for reuse: at most this many, of at most this many bytes together,
// so a run over many pictures stays in constant memory and a huge picture is returned at once.
// Four: the picture and the surface of each of two workers.
constexpr std::size_t kKeptBlocks = 4;
constexpr std::size_t kKeptBytes = std::size_t(64) << 20;

struct KeptBlock
{
    std::uint8_t *memory = nullptr;
    std::size_t bytes = 0;
};

// Most recently freed last.
class KeptBlocks
{
public:
    std::uint8_t *Take(std::size_t bytes)
    {
        const std::lock_guard lock(m_lock);
        for (auto it = m_blocks.rbegin(); it != m_blocks.rend(); ++it) {
            if (it->bytes == bytes) {
                std::uint8_t *memory = it->memory;
                m_total -= bytes;
                m_blocks.erase(std::next(it).base());
                return memory;
            }
        }
        return nullptr;
    }

    // Keeps the block, handing back the ones that no longer fit.
    std::vector<KeptBlock> Keep(KeptBlock block)
    {
        std::vector<KeptBlock> evicted;
        const std::lock_guard lock(m_lock);
        m_blocks.push_back(block);
        m_total += block.bytes;
        while (m_blocks.size() > kKeptBlocks || m_total > kKeptBytes) {
            evicted.push_back(m_blocks.front());
            m_total -= m_blocks.front().bytes;
            m_blocks.erase(m_blocks.begin());
        }
        return evicted;
    }

private:
    std::mutex m_lock;
    std::vector<KeptBlock> m_blocks;
    std::size_t m_total = 0;
};

// Never destroyed: blocks may be freed by static objects after the end of main.
KeptBlocks &Kept()
{
    static auto *kept = new KeptBlocks;
    return *kept;
}

} // namespace

std::uint8_t *AllocatePictureMemory(std::size_t bytes, PictureFill fill)
{
    if (bytes < kLargeBlock)
        return static_cast<std::uint8_t *>(std::calloc(bytes ? bytes : 1, 1));
    if (std::uint8_t *reused = Kept().Take(bytes)) {
        if (fill == PictureFill::Zero)
            std::memset(reused, 0, bytes);
        return reused;
    }
    // Zero pages from the system, in small pages: a fresh huge page can take longer to fault
    // in than the hundreds of small ones it stands for, when the system must first get the
    // memory back from the host it runs on. Every page of a picture is used at once, so they
    // are all mapped in one call rather than one fault at a time.
    void *memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    return memory == MAP_FAILED ? nullptr : static_cast<std::uint8_t *>(memory);
}

void FreePictureMemory(std::uint8_t *memory, std::size_t bytes)
{
    if (!memory)
        return;
    if (bytes < kLargeBlock) {
        std::free(memory);
        return;
    }
    if (bytes > kKeptBytes) {
        munmap(memory, bytes);
        return;
    }
    for (const KeptBlock &old : Kept().Keep({memory, bytes}))
        munmap(old.memory, old.bytes);
}
