#include "app/qt_prompt_service.h"
#include "support/scripted_prompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

struct SeenBox
{
    QString text, caption;
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
        seen = {box->text(), box->windowTitle(), box->icon(), box->standardButtons()};
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
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);

    EXPECT_EQ(ShowAndPress(&PromptService::Question, QMessageBox::No, seen), MessageAnswer::No);
    EXPECT_EQ(seen.caption, QString::fromUtf8("询问"));
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(ShowAndPress(&PromptService::Question, QMessageBox::Yes, seen), MessageAnswer::Yes);

    EXPECT_EQ(ShowAndPress(&PromptService::Notice, QMessageBox::Ok, seen), MessageAnswer::Ok);
    EXPECT_EQ(seen.caption, QString());
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
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
