#pragma once

// The texts of the text properties dialog's messages, in UTF-8.
namespace strings {

// Shown when the transparency edit holds no integer.
inline constexpr char kTypeAnInteger[] = "请键入一个整数。";
// Shown when it holds an integer out of range; %1 and %2 are the bounds. The curly quotation
// marks belong to the message.
inline constexpr char kIntegerBetween[] = "“请填入一个在%1和%2之间的整数。”";

} // namespace strings
