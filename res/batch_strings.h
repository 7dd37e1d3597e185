#pragma once

// The texts of the batch dialog and of the batch run's messages, in UTF-8.
namespace strings {

// The anchor choices, in the order of their values 0 to 8.
inline constexpr const char *kAnchorTexts[9] = {
    "正中", "正上", "正下", "左上", "左中", "左下", "右上", "右中", "右下",
};

inline constexpr char kBatchCaption[] = "文件批量操作";
inline constexpr char kBatchFilter[] = "位图文件(*.bmp)|*.bmp|";

inline constexpr char kBatchNoFiles[] = "当前没有任何文件可以保存,请先添加文件!";
inline constexpr char kBatchNoText[] = "当前没有任何文字信息,是否要继续保存文件?";
inline constexpr char kBatchBusyExit[] = "程序正在保存文件，是否真的要退出?";

// The closing summary: the first line, the head of each list of failures and its closing
// sentence.
inline constexpr char kBatchDone[] = "文件保存完成!";
inline constexpr char kBatchAmong[] = "其中:";
inline constexpr char kBatchUnreadable[] = "不存在或无法打开!没有保存!";
inline constexpr char kBatchUnwritable[] = "无法写入!没有保存!";

} // namespace strings
