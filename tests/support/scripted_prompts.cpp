#include "scripted_prompts.h"

#include <gtest/gtest.h>

#include <ostream>

static const char *const kKindNames[]
    = {"message",          "open file dialog", "open files dialog",
       "save file dialog", "font dialog",      "colour dialog"};

void PrintTo(const PromptRequest &r, std::ostream *out)
{
    *out << kKindNames[int(r.kind)] << " \"" << r.text.toStdString() << "\" caption \""
         << r.caption.toStdString() << '"' << (r.buttons == MessageButtons::YesNo ? " Yes/No" : "")
         << (r.icon == MessageIcon::Exclamation ? " exclamation" : "");
}

ScriptedPrompts::~ScriptedPrompts()
{
    if (!m_answers.empty())
        ADD_FAILURE() << m_answers.size() << " scripted answer(s) never asked for, the first for a "
                      << kKindNames[int(m_answers.front().kind)];
    SetPrompts(nullptr);
}

ScriptedPrompts::Answer ScriptedPrompts::Take(const PromptRequest &request)
{
    m_requests.push_back(request);
    if (m_answers.empty() || m_answers.front().kind != request.kind) {
        ADD_FAILURE() << "unexpected prompt: " << ::testing::PrintToString(request);
        return {.kind = request.kind};
    }
    Answer answer = std::move(m_answers.front());
    m_answers.pop_front();
    if (answer.whileShown)
        answer.whileShown();
    return answer;
}

MessageAnswer ScriptedPrompts::ShowMessage(QWidget *, const QString &text, const QString &caption,
                                           MessageButtons buttons, MessageIcon icon)
{
    const MessageAnswer answer
        = Take({.text = text, .caption = caption, .buttons = buttons, .icon = icon}).message;
    return buttons == MessageButtons::YesNo ? answer : MessageAnswer::Ok;
}
