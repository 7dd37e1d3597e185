#include "scripted_prompts.h"

#include "res/strings.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

const char *KindName(PromptKind kind)
{
    switch (kind) {
    case PromptKind::Message:
        return "message";
    case PromptKind::OpenFile:
        return "open file dialog";
    case PromptKind::OpenFiles:
        return "open files dialog";
    case PromptKind::SaveFile:
        return "save file dialog";
    case PromptKind::Font:
        return "font dialog";
    case PromptKind::Color:
        return "colour dialog";
    }
    return "?";
}

PromptRequest Message(const QString &text, const char *caption, MessageButtons buttons,
                      MessageIcon icon)
{
    PromptRequest request;
    request.text = text;
    request.caption = QString::fromUtf8(caption);
    request.buttons = buttons;
    request.icon = icon;
    return request;
}

PromptRequest FileDialog(PromptKind kind, const QString &filter)
{
    PromptRequest request;
    request.kind = kind;
    request.filter = filter;
    return request;
}

PromptService *g_current = nullptr; // the service installed by the innermost scripted one

} // namespace

PromptRequest PromptRequest::Warning(const QString &text)
{
    return Message(text, strings::kProgramTitle, MessageButtons::Ok, MessageIcon::Exclamation);
}

PromptRequest PromptRequest::Question(const QString &text)
{
    return Message(text, strings::kQuestionCaption, MessageButtons::YesNo, MessageIcon::None);
}

PromptRequest PromptRequest::Notice(const QString &text)
{
    return Message(text, "", MessageButtons::Ok, MessageIcon::None);
}

PromptRequest PromptRequest::OpenFile(const QString &filter)
{
    return FileDialog(PromptKind::OpenFile, filter);
}

PromptRequest PromptRequest::OpenFiles(const QString &filter)
{
    return FileDialog(PromptKind::OpenFiles, filter);
}

PromptRequest PromptRequest::SaveFile(const QString &filter)
{
    return FileDialog(PromptKind::SaveFile, filter);
}

void PrintTo(const PromptRequest &request, std::ostream *out)
{
    *out << KindName(request.kind);
    if (request.kind == PromptKind::Message) {
        *out << " \"" << request.text.toStdString() << "\" caption \""
             << request.caption.toStdString() << "\" "
             << (request.buttons == MessageButtons::YesNo ? "Yes/No" : "OK")
             << (request.icon == MessageIcon::Exclamation ? " exclamation" : " no icon");
    } else if (!request.filter.isEmpty()) {
        *out << " filter \"" << request.filter.toStdString() << "\"";
    }
}

ScriptedPrompts::ScriptedPrompts()
    : m_previous(g_current)
{
    g_current = this;
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

ScriptedPrompts &ScriptedPrompts::AnswerMessage(MessageAnswer answer)
{
    Answer a;
    a.message = answer;
    m_answers.push_back(std::move(a));
    return *this;
}

ScriptedPrompts &ScriptedPrompts::AnswerOpenFile(const QString &path)
{
    Answer a;
    a.kind = PromptKind::OpenFile;
    if (!path.isEmpty())
        a.paths << path;
    m_answers.push_back(std::move(a));
    return *this;
}

ScriptedPrompts &ScriptedPrompts::AnswerOpenFiles(const QStringList &paths)
{
    Answer a;
    a.kind = PromptKind::OpenFiles;
    a.paths = paths;
    m_answers.push_back(std::move(a));
    return *this;
}

ScriptedPrompts &ScriptedPrompts::AnswerSaveFile(const QString &path)
{
    Answer a;
    a.kind = PromptKind::SaveFile;
    if (!path.isEmpty())
        a.paths << path;
    m_answers.push_back(std::move(a));
    return *this;
}

ScriptedPrompts &ScriptedPrompts::AnswerFont(std::optional<LOGFONT> font)
{
    Answer a;
    a.kind = PromptKind::Font;
    a.font = font;
    m_answers.push_back(std::move(a));
    return *this;
}

ScriptedPrompts &ScriptedPrompts::AnswerColor(std::optional<COLORREF> color)
{
    Answer a;
    a.kind = PromptKind::Color;
    a.color = color;
    m_answers.push_back(std::move(a));
    return *this;
}

ScriptedPrompts &ScriptedPrompts::WhileShown(std::function<void()> action)
{
    if (m_answers.empty())
        m_whileShown = std::move(action);
    else
        m_answers.back().whileShown = std::move(action);
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
    if (m_whileShown) {
        auto action = std::move(m_whileShown);
        m_whileShown = nullptr;
        action();
    }
    if (answer.whileShown)
        answer.whileShown();
    return answer;
}

MessageAnswer ScriptedPrompts::ShowMessage(QWidget *, const QString &text, const QString &caption,
                                           MessageButtons buttons, MessageIcon icon)
{
    PromptRequest request;
    request.text = text;
    request.caption = caption;
    request.buttons = buttons;
    request.icon = icon;
    const std::optional<Answer> answer = Take(request);
    const MessageAnswer cautious
        = buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    if (!answer)
        return cautious;
    const bool fits = buttons == MessageButtons::YesNo ? answer->message != MessageAnswer::Ok
                                                       : answer->message == MessageAnswer::Ok;
    if (!fits) {
        ADD_FAILURE() << "scripted answer does not fit the buttons of "
                      << ::testing::PrintToString(request);
        return cautious;
    }
    return answer->message;
}

QString ScriptedPrompts::GetOpenFileName(QWidget *, const QString &filter)
{
    const std::optional<Answer> answer = Take(PromptRequest::OpenFile(filter));
    return answer ? answer->paths.value(0) : QString();
}

QStringList ScriptedPrompts::GetOpenFileNames(QWidget *, const QString &filter)
{
    const std::optional<Answer> answer = Take(PromptRequest::OpenFiles(filter));
    return answer ? answer->paths : QStringList();
}

QString ScriptedPrompts::GetSaveFileName(QWidget *, const QString &filter)
{
    const std::optional<Answer> answer = Take(PromptRequest::SaveFile(filter));
    return answer ? answer->paths.value(0) : QString();
}

std::optional<LOGFONT> ScriptedPrompts::ChooseFont(QWidget *, const LOGFONT &initial)
{
    PromptRequest request;
    request.kind = PromptKind::Font;
    request.font = initial;
    const std::optional<Answer> answer = Take(request);
    return answer ? answer->font : std::nullopt;
}

std::optional<COLORREF> ScriptedPrompts::ChooseColor(QWidget *, COLORREF initial)
{
    PromptRequest request;
    request.kind = PromptKind::Color;
    request.color = initial;
    const std::optional<Answer> answer = Take(request);
    return answer ? answer->color : std::nullopt;
}
