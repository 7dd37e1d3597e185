#pragma once

// The interface's texts, in UTF-8, each written once here.
namespace strings {

// Caption of every warning: the program's title, its executable's name.
inline constexpr char kProgramTitle[] = "velmora";
// Caption of every question.
inline constexpr char kQuestionCaption[] = "询问";

} // namespace strings
