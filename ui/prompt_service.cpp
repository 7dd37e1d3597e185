#include "prompt_service.h"

#include "res/strings.h"

namespace {
PromptService *g_service = nullptr;
}

MessageAnswer PromptService::Warning(QWidget *owner, const QString &text)
{
    return ShowMessage(owner, text, QString::fromUtf8(strings::kProgramTitle), MessageButtons::Ok,
                       MessageIcon::Exclamation);
}

MessageAnswer PromptService::Question(QWidget *owner, const QString &text)
{
    return ShowMessage(owner, text, QString::fromUtf8(strings::kQuestionCaption),
                       MessageButtons::YesNo, MessageIcon::None);
}

MessageAnswer PromptService::Notice(QWidget *owner, const QString &text)
{
    return ShowMessage(owner, text, QString(), MessageButtons::Ok, MessageIcon::None);
}

PromptService &Prompts()
{
    Q_ASSERT(g_service);
    return *g_service;
}

void SetPrompts(PromptService *service)
{
    g_service = service;
}
