#include "scripted_prompts.h"

#include <gtest/gtest.h>

#include <ostream>
#include <utility>

namespace {

const char *KindName(PromptKind kind)
{
    static const char *const names[] = {"message",          "open file dialog", "open files dialog",
                                        "save file dialog", "font dialog",      "colour dialog"};
    return names[int(kind)];
}

PromptService *g_current = nullptr; // the service installed by the innermost scripted one

} // namespace

void PrintTo(const PromptRequest &request, std::ostream *out)
{
    *out << KindName(request.kind);
    if (request.kind == PromptKind::Message)
        *out << " \"" << request.text.toStdString() << "\" caption \""
             << request.caption.toStdString() << "\" "
             << (request.buttons == MessageButtons::YesNo ? "Yes/No" : "OK")
             << (request.icon == MessageIcon::Exclamation ? " exclamation" : " no icon");
    else if (!request.filter.isEmpty())
        *out << " filter \"" << request.filter.toStdString() << "\"";
}

ScriptedPrompts::ScriptedPrompts()
    : m_previous(std::exchange(g_current, this))
{
    SetPrompts(this);
}

ScriptedPrompts::~ScriptedPrompts()
{
    if (!m_answers.empty())
        ADD_FAILURE() << m_answers.size() << " scripted answer(s) never asked for, the first for a "
                      << KindName(m_answers.front().kind);
    g_current = m_previous;
    SetPrompts(m_previous);
}

ScriptedPrompts &ScriptedPrompts::Queue(Answer answer)
{
    m_answers.push_back(std::move(answer));
    return *this;
}

ScriptedPrompts &ScriptedPrompts::WhileShown(std::function<void()> action)
{
    (m_answers.empty() ? m_whileShown : m_answers.back().whileShown) = std::move(action);
    return *this;
}

std::optional<ScriptedPrompts::Answer> ScriptedPrompts::Take(const PromptRequest &request)
{
    m_requests.push_back(request);
    if (m_answers.empty() || m_answers.front().kind != request.kind) {
        ADD_FAILURE() << "unexpected prompt: " << ::testing::PrintToString(request)
                      << (m_answers.empty() ? " (no answer left)"
                                            : std::string(" (next answer is for a ")
                                  + KindName(m_answers.front().kind) + ")");
        return std::nullopt;
    }
    Answer answer = std::move(m_answers.front());
    m_answers.pop_front();
    // An action set before any answer was queued belongs to the first prompt.
    for (std::function<void()> *action : {&m_whileShown, &answer.whileShown})
        if (*action)
            std::exchange(*action, nullptr)();
    return answer;
}

MessageAnswer ScriptedPrompts::ShowMessage(QWidget *, const QString &text, const QString &caption,
                                           MessageButtons buttons, MessageIcon icon)
{
    const PromptRequest request {
        .text = text, .caption = caption, .buttons = buttons, .icon = icon};
    const std::optional<Answer> answer = Take(request);
    const bool yesNo = buttons == MessageButtons::YesNo;
    const MessageAnswer cautious = yesNo ? MessageAnswer::No : MessageAnswer::Ok;
    if (!answer)
        return cautious;
    if (yesNo == (answer->message == MessageAnswer::Ok)) {
        ADD_FAILURE() << "scripted answer does not fit the buttons of "
                      << ::testing::PrintToString(request);
        return cautious;
    }
    return answer->message;
}

QString ScriptedPrompts::GetOpenFileName(QWidget *, const QString &filter)
{
    const std::optional<Answer> answer
        = Take(PromptRequest::FileDialog(PromptKind::OpenFile, filter));
    return answer ? answer->paths.value(0) : QString();
}

QStringList ScriptedPrompts::GetOpenFileNames(QWidget *, const QString &filter)
{
    const std::optional<Answer> answer
        = Take(PromptRequest::FileDialog(PromptKind::OpenFiles, filter));
    return answer ? answer->paths : QStringList();
}

QString ScriptedPrompts::GetSaveFileName(QWidget *, const QString &filter)
{
    const std::optional<Answer> answer
        = Take(PromptRequest::FileDialog(PromptKind::SaveFile, filter));
    return answer ? answer->paths.value(0) : QString();
}

std::optional<LOGFONT> ScriptedPrompts::ChooseFont(QWidget *, const LOGFONT &initial)
{
    const PromptRequest request {.kind = PromptKind::Font, .font = initial};
    const std::optional<Answer> answer = Take(request);
    return answer ? answer->font : std::nullopt;
}

std::optional<COLORREF> ScriptedPrompts::ChooseColor(QWidget *, COLORREF initial)
{
    const PromptRequest request {.kind = PromptKind::Color, .color = initial};
    const std::optional<Answer> answer = Take(request);
    return answer ? answer->color : std::nullopt;
}
