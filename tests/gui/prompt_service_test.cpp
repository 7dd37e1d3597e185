#include "support/bmp_builder.h"
#include "support/scripted_prompts.h"
#include "ui/qt_prompt_service.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QWindow>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <tuple>

namespace {

struct SeenBox
{
    QString text, caption;
    QString shownTitle; // what the window system is given: an empty one it would replace
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Shows one message through the Qt service, records the box as it stands and presses click.
MessageAnswer ShowAndPress(MessageAnswer (PromptService::*kind)(QWidget *, const QString &),
                           QMessageBox::StandardButton click, SeenBox &seen)
{
    QtPromptService service;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->text(), box->windowTitle(), box->windowHandle()->title(), box->icon(),
                box->standardButtons()};
        box->button(click)->click();
    });
    return (service.*kind)(nullptr, QStringLiteral("文件 /a&b.bmp 读取失败!"));
}

TEST(QtPromptService, MessageBoxesHaveTheirIconCaptionAndButtons)
{
    SeenBox seen;
    EXPECT_EQ(ShowAndPress(&PromptService::Warning, QMessageBox::Ok, seen), MessageAnswer::Ok);
    EXPECT_EQ(seen.text, QStringLiteral("文件 /a&b.bmp 读取失败!"));
    EXPECT_EQ(seen.caption, QStringLiteral("velmora"));
    EXPECT_EQ(seen.shownTitle, QStringLiteral("velmora"));
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);

    EXPECT_EQ(ShowAndPress(&PromptService::Question, QMessageBox::No, seen), MessageAnswer::No);
    EXPECT_EQ(seen.caption, QString::fromUtf8("询问"));
    EXPECT_EQ(seen.shownTitle, QString::fromUtf8("询问"));
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(ShowAndPress(&PromptService::Question, QMessageBox::Yes, seen), MessageAnswer::Yes);

    EXPECT_EQ(ShowAndPress(&PromptService::Notice, QMessageBox::Ok, seen), MessageAnswer::Ok);
    EXPECT_EQ(seen.caption, QString());
    EXPECT_FALSE(seen.shownTitle.isEmpty());
    EXPECT_TRUE(seen.shownTitle.trimmed().isEmpty());
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
}

// Qt's file dialogs: each filter entry shown by its name as the command gives it and filtering
// by its patterns; sizes and dates in Chinese, in columns as wide as what they show and in view.
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
        QTimer::singleShot(0, [&, shown = shown] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->setDirectory(dir.path());
            dialog->setViewMode(QFileDialog::Detail);
            EXPECT_EQ(
                dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))->currentText(),
                QString::fromUtf8(shown));
            auto *tree = dialog->findChild<QTreeView *>();
            QAbstractItemView *view = tree;
            const auto cell = [&](int row, int column) {
                return view->model()->index(row, column, view->rootIndex()).data().toString();
            };
            EXPECT_TRUE(QTest::qWaitFor([&] { return cell(1, 0) == QStringLiteral("b.bmp"); }));
            EXPECT_EQ(view->model()->rowCount(view->rootIndex()), 2);
            EXPECT_EQ(cell(0, 1), QString::number(small.size()) + QString::fromUtf8(" 字节"));
            EXPECT_EQ(cell(0, 3),
                      QLocale(QLocale::Chinese, QLocale::China)
                          .toString(small.lastModified(), QLocale::ShortFormat));
            const QHeaderView *header = tree->header();
            for (int c : {1, 2, 3})
                EXPECT_TRUE(QTest::qWaitFor([&] {
                    return header->sectionSize(c) >= view->sizeHintForColumn(c)
                        && header->sectionViewportPosition(c) + header->sectionSize(c)
                        <= view->viewport()->width();
                })) << c
                    << " " << cell(1, c).toStdString();
            dialog->reject();
        });
        EXPECT_TRUE((service.*ask)(nullptr, QString::fromUtf8(filter)).isEmpty());
    }
}

TEST(ScriptedPrompts, AnswersInOrderAndFailsOnSurprises)
{
    ScriptedPrompts prompts;
    prompts.AnswerOpenFile(QStringLiteral("/x.bmp")).AnswerMessage(MessageAnswer::Yes);
    EXPECT_EQ(Prompts().GetOpenFileName(nullptr, QStringLiteral("BMP文件|*.bmp")),
              QStringLiteral("/x.bmp"));
    EXPECT_EQ(Prompts().Question(nullptr, QStringLiteral("继续?")), MessageAnswer::Yes);
    ASSERT_EQ(prompts.Requests().size(), 2u);
    EXPECT_EQ(prompts.Requests()[0],
              PromptRequest::FileDialog(PromptKind::OpenFile, QStringLiteral("BMP文件|*.bmp")));
    EXPECT_EQ(prompts.Requests()[1], PromptRequest::Question(QStringLiteral("继续?")));

    // No answer queued: the test fails and the question gets the cautious No.
    MessageAnswer answer = MessageAnswer::Yes;
    EXPECT_NONFATAL_FAILURE(answer = Prompts().Question(nullptr, QStringLiteral("?")),
                            "unexpected prompt");
    EXPECT_EQ(answer, MessageAnswer::No);
    // An answer of another kind is not taken for it.
    prompts.AnswerSaveFile(QStringLiteral("/y.bmp"));
    EXPECT_NONFATAL_FAILURE(Prompts().Warning(nullptr, QStringLiteral("!")), "save file dialog");
    EXPECT_EQ(Prompts().GetSaveFileName(nullptr, QString()), QStringLiteral("/y.bmp"));
}

} // namespace
