#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Whether a new block of picture memory must read as zero, or will be overwritten whole first.
enum class PictureFill { Zero, Any };

// Memory for pictures. Large blocks come straight from the system; the last few of them freed
// are kept for the next picture, since a batch run meets picture after picture of one size and
// the first touch of fresh pages costs as much as decoding them. What is kept is bounded (see
// page_memory.cpp). Null when none can be had. Safe to call from several threads.
std::uint8_t *AllocatePictureMemory(std::size_t bytes, PictureFill fill = PictureFill::Zero);
void FreePictureMemory(std::uint8_t *memory, std::size_t bytes);

struct PictureMemoryDeleter
{
    std::size_t bytes = 0;
    void operator()(std::uint8_t *memory) const { FreePictureMemory(memory, bytes); }
};

using PictureMemory = std::unique_ptr<std::uint8_t[], PictureMemoryDeleter>;

inline PictureMemory MakePictureMemory(std::size_t bytes, PictureFill fill = PictureFill::Zero)
{
    return PictureMemory(AllocatePictureMemory(bytes, fill), PictureMemoryDeleter {bytes});
}
