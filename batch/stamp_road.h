#pragma once

#include "image/dib_image.h"
#include "platform/surface.h"

#include <QString>

#include <functional>

// What happens to the picture between drawing and writing (the text, for instance). Gets the
// drawn surface and the loaded image.
using ComposeStep = std::function<void(Surface &surface, const DibImage &image)>;

struct StampOutcome
{
    bool ok = false;
    QString error; // why, when not ok
};

// The road of one picture: load source into image, draw it 1:1 onto a 32-bit surface, run the
// compose step, write the surface's picture area to target (which may be source itself).
// The image is cleared first and keeps the picture afterwards.
StampOutcome StampFile(DibImage &image, const QString &source, const QString &target,
                       const ComposeStep &compose = {});
