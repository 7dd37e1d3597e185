#pragma once

#include "batch/stamp_road.h"
#include "overlay/text_style.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

// Where the text's box goes on a picture of width x height, given the box's measured size:
// the top-left corner, in picture pixels.
using TextPlacement = std::function<POINT(std::int32_t width, std::int32_t height, SIZE box)>;

// The compose step of a picture's text: the text is measured against the drawn surface, placed,
// and blended in without markers; style.x, style.y, style.cx and style.cy receive where it went.
ComposeStep PlacedText(TextStyle &style, const TextPlacement &place);

// StampFileUncommitted with PlacedText as its compose step, without ever holding the whole
// picture: the rows go from the file through a buffer of about a megabyte into the
// written file, in file order, and only the rows under the text box are held while the text
// is composed on them. The file written is byte for byte the one the step-by-step road writes,
// and the outcome the same. Pictures whose rows cannot come bottom row first without holding
// them (run-length encoded top-down ones), and files the reader refuses, take the step-by-step
// road.
StampOutcome StreamStampFileUncommitted(const QString &source, const QString &target,
                                        TextStyle &style, const TextPlacement &place,
                                        std::unique_ptr<AtomicFile> &pending);

// The same, committed: the file is in place when the outcome is ok.
StampOutcome StreamStampFile(const QString &source, const QString &target, TextStyle &style,
                             const TextPlacement &place);
