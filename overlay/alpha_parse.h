#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Reads the transparency edit's text as a signed 32-bit integer. Only the first 31 characters
// count; blanks and tabs may stand before and after an optionally signed run of decimal digits,
// and nothing else may. Numbers beyond 32 bits stick at the nearest limit, so the range check
// rejects them. Zero is accepted only when written with a leading digit 0, so an empty text,
// a lone sign, +0 and -0 are all refused. Nothing when the text does not parse.
std::optional<std::int32_t> ParseAlphaText(const QString &text);
