#include "support/bmp_builder.h"
#include "support/modal_runner.h"
#include "ui/qt_prompt_service.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

TEST(QtPromptService, MessageBoxesHaveTheirIconCaptionAndButtons)
{
    using Box = QMessageBox;
    using Show = MessageAnswer (PromptService::*)(QWidget *, const QString &);
    const QString text = QString::fromUtf8("文件 /a&b.bmp 读取失败!");
    QtPromptService service;
    for (const auto &[show, press, answer, caption, icon, buttons] :
         {std::tuple<Show, Box::StandardButton, MessageAnswer, const char *, Box::Icon, int> {
              &PromptService::Warning, Box::Ok, MessageAnswer::Ok, "velmora", Box::Warning,
              Box::Ok},
          {&PromptService::Question, Box::No, MessageAnswer::No, "询问", Box::NoIcon,
           Box::Yes | Box::No},
          {&PromptService::Question, Box::Yes, MessageAnswer::Yes, "询问", Box::NoIcon,
           Box::Yes | Box::No},
          {&PromptService::Notice, Box::Ok, MessageAnswer::Ok, "", Box::NoIcon, Box::Ok}}) {
        RunModal<Box>(
            [&] { EXPECT_EQ((service.*show)(nullptr, text), answer); },
            [&](Box &box) {
                EXPECT_EQ(std::tuple(box.text(), box.windowTitle(), box.icon(),
                                     int(box.standardButtons())),
                          std::tuple(text, QString::fromUtf8(caption), icon, buttons));
                // No caption is shown as a blank one: an empty title the window system would fill.
                const QString shown = box.windowHandle()->title();
                EXPECT_TRUE(!shown.isEmpty() && shown.trimmed() == QString::fromUtf8(caption))
                    << caption;
                box.button(press)->click();
            });
    }
}

// Each filter entry is shown by its name as the command gives it and filters by its patterns;
// sizes are in Chinese, in columns as wide as what they show and in view.
TEST(QtPromptService, FileDialogsShowFilterNamesAndWholeColumnsInChinese)
{
    // A small picture (its size in bytes), a large one (in KiB, wider than Qt's own column) and
    // a file the filter leaves out; no column widths kept by Qt from an earlier dialog.
    QTemporaryDir dir;
    testbmp::WriteSolid(dir.filePath(QStringLiteral("a.bmp")), 4, 4, 0);
    testbmp::WriteSolid(dir.filePath(QStringLiteral("b.bmp")), 200, 200, 0);
    testbmp::WriteFile(dir.filePath(QStringLiteral("c.txt")), {'x'});
    QSettings(QSettings::UserScope, QStringLiteral("QtProject"))
        .remove(QStringLiteral("FileDialog"));
    QtPromptService service;
    for (const auto &[ask, filter, shown] :
         {std::tuple(&PromptService::GetOpenFileName, "BMP文件|*.bmp", "BMP文件"),
          std::tuple(&PromptService::GetSaveFileName, "位图文件(*.bmp)|*.bmp|",
                     "位图文件(*.bmp)")}) {
        RunModal<QFileDialog>(
            [&] { (service.*ask)(nullptr, QString::fromUtf8(filter)); },
            [&](QFileDialog &dialog) {
                dialog.setDirectory(dir.path());
                dialog.setViewMode(QFileDialog::Detail);
                EXPECT_EQ(
                    dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->currentText(),
                    QString::fromUtf8(shown));
                auto *tree = dialog.findChild<QTreeView *>();
                QAbstractItemView *view = tree; // where the column's size hint is public
                const auto cell = [&](int row, int column) {
                    return view->model()->index(row, column, view->rootIndex()).data().toString();
                };
                EXPECT_TRUE(QTest::qWaitFor([&] { return cell(1, 0) == QStringLiteral("b.bmp"); }));
                EXPECT_EQ(view->model()->rowCount(view->rootIndex()), 2);
                EXPECT_EQ(cell(0, 1), QString::fromUtf8("102 字节"));
                for (int c : {1, 2, 3})
                    EXPECT_TRUE(QTest::qWaitFor([&] {
                        return tree->header()->sectionSize(c) >= view->sizeHintForColumn(c)
                            && tree->header()->sectionViewportPosition(c)
                                + tree->header()->sectionSize(c)
                            <= view->viewport()->width();
                    })) << c
                        << " " << cell(1, c).toStdString();
            });
    }
}

} // namespace
