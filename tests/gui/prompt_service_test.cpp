#include "support/bmp_builder.h"
#include "support/modal_runner.h"
#include "support/scripted_prompts.h"
#include "ui/qt_prompt_service.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest-spi.h>

namespace {

TEST(QtPromptService, MessageBoxesHaveTheirIconCaptionAndButtons)
{
    using Box = QMessageBox;
    using Show = MessageAnswer (PromptService::*)(QWidget *, const QString &);
    const QString text = QString::fromUtf8("文件 /a&b.bmp 读取失败!");
    QtPromptService service;
    for (const auto &[show, press, answer, caption, icon, buttons] :
         {std::tuple<Show, Box::StandardButton, MessageAnswer, const char *, Box::Icon,
                     Box::StandardButtons> {&PromptService::Warning, Box::Ok, MessageAnswer::Ok,
                                            "velmora", Box::Warning, Box::Ok},
          {&PromptService::Question, Box::No, MessageAnswer::No, "询问", Box::NoIcon,
           Box::Yes | Box::No},
          {&PromptService::Question, Box::Yes, MessageAnswer::Yes, "询问", Box::NoIcon,
           Box::Yes | Box::No},
          {&PromptService::Notice, Box::Ok, MessageAnswer::Ok, "", Box::NoIcon, Box::Ok}}) {
        RunModal<Box>([&] { EXPECT_EQ((service.*show)(nullptr, text), answer); },
                      [&](Box &box) {
                          EXPECT_EQ(std::tuple(box.text(), box.windowTitle(), box.icon()),
                                    std::tuple(text, QString::fromUtf8(caption), icon));
                          EXPECT_EQ(box.standardButtons(), buttons);
                          // No caption is shown as a blank one, not the program's name.
                          const QString shown = box.windowHandle()->title();
                          EXPECT_TRUE(!shown.isEmpty() && shown.trimmed() == caption) << caption;
                          box.button(press)->click();
                      });
    }
}

// Each filter entry is shown by its name as the command gives it and filters by its patterns;
// sizes and dates are in Chinese, in columns as wide as what they show and in view.
TEST(QtPromptService, FileDialogsShowFilterNamesAndWholeColumnsInChinese)
{
    // A small picture (its size in bytes), a large one (in KiB, wider than Qt's own column) and
    // a file the filter leaves out; no column widths kept by Qt from an earlier dialog.
    QTemporaryDir dir;
    const QFileInfo small(dir.filePath(QStringLiteral("a.bmp")));
    testbmp::WriteSolid(small.filePath(), 4, 4, 0x808080);
    testbmp::WriteSolid(dir.filePath(QStringLiteral("b.bmp")), 200, 200, 0x808080);
    testbmp::WriteFile(dir.filePath(QStringLiteral("c.txt")), {'x'});
    QSettings(QSettings::UserScope, QStringLiteral("QtProject"))
        .remove(QStringLiteral("FileDialog"));
    QtPromptService service;
    for (const auto &[ask, filter, shown] :
         {std::tuple(&PromptService::GetOpenFileName, "BMP文件|*.bmp", "BMP文件"),
          std::tuple(&PromptService::GetSaveFileName, "位图文件(*.bmp)|*.bmp|",
                     "位图文件(*.bmp)")}) {
        const auto check = [&, shown = shown](QFileDialog &dialog) {
            dialog.setDirectory(dir.path());
            dialog.setViewMode(QFileDialog::Detail);
            EXPECT_EQ(dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->currentText(),
                      QString::fromUtf8(shown));
            auto *tree = dialog.findChild<QTreeView *>();
            QAbstractItemView *view = tree; // where the column's size hint is public
            const auto cell = [&](int row, int column) {
                return tree->model()->index(row, column, tree->rootIndex()).data().toString();
            };
            EXPECT_TRUE(QTest::qWaitFor([&] { return cell(1, 0) == QStringLiteral("b.bmp"); }));
            EXPECT_EQ(tree->model()->rowCount(tree->rootIndex()), 2);
            EXPECT_EQ(cell(0, 1), QString::number(small.size()) + QString::fromUtf8(" 字节"));
            EXPECT_EQ(cell(0, 3),
                      QLocale(QLocale::Chinese, QLocale::China)
                          .toString(small.lastModified(), QLocale::ShortFormat));
            const QHeaderView *header = tree->header();
            for (int c : {1, 2, 3})
                EXPECT_TRUE(QTest::qWaitFor([&] {
                    return header->sectionSize(c) >= view->sizeHintForColumn(c)
                        && header->sectionViewportPosition(c) + header->sectionSize(c)
                        <= tree->viewport()->width();
                })) << c
                    << " " << cell(1, c).toStdString();
        };
        RunModal<QFileDialog>(
            [&] { EXPECT_TRUE((service.*ask)(nullptr, QString::fromUtf8(filter)).isEmpty()); },
            check);
    }
}

TEST(ScriptedPrompts, AnswersInOrderAndFailsOnSurprises)
{
    ScriptedPrompts prompts;
    prompts.AnswerOpenFile(QStringLiteral("/x.bmp")).AnswerMessage(MessageAnswer::Yes);
    EXPECT_EQ(Prompts().GetOpenFileName(nullptr, QString()), QStringLiteral("/x.bmp"));
    EXPECT_EQ(Prompts().Question(nullptr, QStringLiteral("?")), MessageAnswer::Yes);
    EXPECT_EQ(prompts.Requests().size(), 2u);
    // No answer, or one of another kind: the test fails and the question gets the cautious No.
    MessageAnswer answer = MessageAnswer::Yes;
    EXPECT_NONFATAL_FAILURE(answer = Prompts().Question(nullptr, QString()), "unexpected prompt");
    EXPECT_EQ(answer, MessageAnswer::No);
    prompts.AnswerSaveFile(QStringLiteral("/y.bmp"));
    EXPECT_NONFATAL_FAILURE(Prompts().Warning(nullptr, QString()), "save file dialog");
    EXPECT_EQ(Prompts().GetSaveFileName(nullptr, QString()), QStringLiteral("/y.bmp"));
}

} // namespace
