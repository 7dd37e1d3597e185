#pragma once

// The interface's texts, in UTF-8, each written once here.
namespace strings {

// Caption of every warning: the program's title, its executable's name.
inline constexpr char kProgramTitle[] = "velmora";
// Caption of every question.
inline constexpr char kQuestionCaption[] = "询问";

// Window titles.
inline constexpr char kTitleNoFile[] = "没有打开任何文件";
inline constexpr char kTitleFilePrefix[] = "文件:"; // followed by the open file's path

// Menu 131.
inline constexpr char kMenuFile[] = "文件(&F)";
inline constexpr char kMenuFileOpen[] = "打开文件(&O)";
inline constexpr char kMenuFileSave[] = "保存文件(&S)";
inline constexpr char kMenuFileSaveAs[] = "文件另存为(&A)";
inline constexpr char kMenuFileClose[] = "关闭当前文件(&C)";
inline constexpr char kMenuFileBatch[] = "文件批量操作(&P)...";
inline constexpr char kMenuAppExit[] = "退出程序(&X)";
inline constexpr char kMenuEdit[] = "编辑(&E)";
inline constexpr char kMenuEditTextProperties[] = "编辑字体内容和属性(&E)...";
inline constexpr char kMenuAbout[] = "关于(&A)";
inline constexpr char kMenuAppAbout[] = "关于作者(&A)";

// The About box.
inline constexpr char kAboutCaption[] = "关于";
inline constexpr char kAboutProgram[] = "文字与图片合成程序";
inline constexpr char kAboutContact1[] = "Velmora 开发组";
inline constexpr char kAboutContact2[] = "邮箱: dev@velmora.example";
inline constexpr char kAboutContact3[] = "网址: velmora.example";
inline constexpr char kOkButton[] = "确定";

// File dialog filters, "|" between a name and its patterns.
inline constexpr char kOpenFilter[] = "BMP文件|*.bmp";
inline constexpr char kSaveAsFilter[] = "位图文件(*.bmp)|*.bmp|";
// Appended to a name chosen in the Save As dialog that does not end in it.
inline constexpr char kBmpExtension[] = ".bmp";

// Messages of the file commands. Those with a path read prefix + path + suffix.
inline constexpr char kMsgFilePrefix[] = "文件 ";
inline constexpr char kMsgReadFailedSuffix[] = " 读取失败!";
inline constexpr char kMsgRereadFailedSuffix[] = " 在重新读取时失败!";
inline constexpr char kMsgWriteFailedSuffix[] = " 写入失败!";
inline constexpr char kMsgOverwriteSuffix[] = " 已存在,是否要覆盖?";
inline constexpr char kMsgNoFileToSave[] = "当前没有打开任何文件,无法保存!";
inline constexpr char kMsgNoTextContinue[] = "当前没有文字信息,是否要继续保存文件?";
inline constexpr char kMsgSaved[] = "文件保存成功";

} // namespace strings
