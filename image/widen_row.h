#pragma once

#include <cstdint>

// Widens count 24-bit pixels (blue, green, red, as files store them) to the 32-bit layout of
// the display's surfaces (blue, green, red, unused byte zero). Reads exactly 3 * count bytes
// and writes exactly 4 * count. Uses the processor's vector instructions where it has them
// (chosen once, at run time: the program itself targets plain x86-64).
void WidenBgrRow(const std::uint8_t *src, std::uint8_t *dst, int count);

// The same, a pixel at a time, on any processor.
void WidenBgrRowPlain(const std::uint8_t *src, std::uint8_t *dst, int count);

// Whether WidenBgrRow runs on vector instructions on this processor.
bool WidenBgrRowIsVector();
