#pragma once

// Interface agreed between layers; the owner of image/ may add members and a header struct,
// but keeps these signatures.

#include "platform/surface.h"

#include <QString>

#include <cstdint>

// One BMP file held in memory as the packed block after the 14-byte file header (info header,
// colour table, pixel array), with the palette made from the colour table and the path it was
// read from.
class DibImage
{
public:
    DibImage();
    ~DibImage();
    DibImage(const DibImage &) = delete;
    DibImage &operator=(const DibImage &) = delete;

    // Reads the file; false, with the image unchanged, when it cannot be read or drawn.
    bool Load(const QString &path);
    void Clear();
    bool IsLoaded() const;
    std::int32_t GetWidth() const; // 0 when empty
    std::int32_t
    GetHeight() const; // number of rows, positive also for top-down files; 0 when empty
    QString GetPath() const;

    // Draws the picture 1:1 at the surface's top-left corner (clipped to the surface).
    void Draw(Surface &surface) const;
};
