#include "scripted_prompts.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>

namespace {

const char *KindName(PromptKind kind)
{
    return std::array {"message",          "open file dialog", "open files dialog",
                       "save file dialog", "font dialog",      "colour dialog"}[int(kind)];
}

} // namespace

void PrintTo(const PromptRequest &r, std::ostream *out)
{
    const bool message = r.kind == PromptKind::Message;
    *out << KindName(r.kind) << " \"" << (message ? r.text : r.filter).toStdString() << '"';
    if (message)
        *out << " caption \"" << r.caption.toStdString() << '"'
             << (r.buttons == MessageButtons::YesNo ? " Yes/No" : " OK")
             << (r.icon == MessageIcon::Exclamation ? " exclamation" : "");
}

ScriptedPrompts::~ScriptedPrompts()
{
    if (!m_answers.empty())
        ADD_FAILURE() << m_answers.size() << " scripted answer(s) never asked for, the first for a "
                      << KindName(m_answers.front().kind);
    SetPrompts(nullptr);
}

ScriptedPrompts::Answer ScriptedPrompts::Take(const PromptRequest &request, MessageAnswer cautious)
{
    m_requests.push_back(request);
    if (m_answers.empty() || m_answers.front().kind != request.kind) {
        ADD_FAILURE() << "unexpected prompt: " << ::testing::PrintToString(request)
                      << "; next answer: "
                      << (m_answers.empty() ? "none" : KindName(m_answers.front().kind));
        return {.kind = request.kind, .message = cautious};
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
    const MessageAnswer cautious
        = buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    const MessageAnswer answer
        = Take({.text = text, .caption = caption, .buttons = buttons, .icon = icon}, cautious)
              .message;
    const bool fits = (answer == MessageAnswer::Ok) == (cautious == MessageAnswer::Ok);
    EXPECT_TRUE(fits) << "scripted answer does not fit the buttons of " << text.toStdString();
    return fits ? answer : cautious;
}
