#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// Zeroed memory for pictures. Large blocks come straight from the system, asked to be backed
// by huge pages where the system allows, so first touching a picture of hundreds of megabytes
// costs a few hundred page faults rather than tens of thousands. Null when none can be had.
std::uint8_t *AllocatePictureMemory(std::size_t bytes);
void FreePictureMemory(std::uint8_t *memory, std::size_t bytes);

struct PictureMemoryDeleter
{
    std::size_t bytes = 0;
    void operator()(std::uint8_t *memory) const { FreePictureMemory(memory, bytes); }
};

using PictureMemory = std::unique_ptr<std::uint8_t[], PictureMemoryDeleter>;

inline PictureMemory MakePictureMemory(std::size_t bytes)
{
    return PictureMemory(AllocatePictureMemory(bytes), PictureMemoryDeleter {bytes});
}
