#pragma once

#include "res/strings.h"
#include "ui/prompt_service.h"

#include <deque>
#include <functional>
#include <iosfwd>
#include <vector>

// What a prompt asked, as the tests compare it.
enum class PromptKind { Message, OpenFile, OpenFiles, SaveFile, Font, Color };

struct PromptRequest
{
    PromptKind kind = PromptKind::Message;
    QString text {}, caption {}; // messages
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    QString filter {};                // file dialogs, as the command gave it
    std::optional<LOGFONT> font {};   // the font dialog's starting font
    std::optional<COLORREF> color {}; // the colour dialog's starting colour

    static PromptRequest Warning(const QString &text)
    {
        return {.text = text,
                .caption = QString::fromUtf8(strings::kProgramTitle),
                .icon = MessageIcon::Exclamation};
    }
    static PromptRequest Question(const QString &text)
    {
        return {.text = text,
                .caption = QString::fromUtf8(strings::kQuestionCaption),
                .buttons = MessageButtons::YesNo};
    }
    static PromptRequest Notice(const QString &text) { return {.text = text}; }
    static PromptRequest FileDialog(PromptKind kind, const QString &filter)
    {
        return {.kind = kind, .filter = filter};
    }
    friend bool operator==(const PromptRequest &, const PromptRequest &) = default;
};
void PrintTo(const PromptRequest &request, std::ostream *out);

// A prompt service for tests, installed while it lives: it answers from a queue, in order, and
// records every request. A prompt whose kind is not the next answer's, an answer that does not
// fit the buttons, or an answer never asked for fails the test; the prompt then gets the
// cautious answer: No, or cancelled.
class ScriptedPrompts : public PromptService
{
public:
    ScriptedPrompts() { SetPrompts(this); }
    ~ScriptedPrompts() override;

    ScriptedPrompts &AnswerMessage(MessageAnswer answer) { return Queue({.message = answer}); }
    // An empty path: cancelled.
    ScriptedPrompts &AnswerOpenFile(const QString &path)
    {
        return Queue({PromptKind::OpenFile, {path}});
    }
    ScriptedPrompts &AnswerOpenFiles(const QStringList &paths)
    {
        return Queue({PromptKind::OpenFiles, paths});
    }
    ScriptedPrompts &AnswerSaveFile(const QString &path)
    {
        return Queue({PromptKind::SaveFile, {path}});
    }
    ScriptedPrompts &AnswerFont(std::optional<LOGFONT> font)
    {
        return Queue({PromptKind::Font, {}, font});
    }
    ScriptedPrompts &AnswerColor(std::optional<COLORREF> color)
    {
        return Queue({PromptKind::Color, {}, {}, color});
    }
    // Runs while the prompt last queued is up, before it is answered.
    ScriptedPrompts &WhileShown(std::function<void()> action)
    {
        m_answers.back().whileShown = std::move(action);
        return *this;
    }

    const std::vector<PromptRequest> &Requests() const { return m_requests; }
    void ClearRequests() { m_requests.clear(); }

    MessageAnswer ShowMessage(QWidget *, const QString &text, const QString &caption,
                              MessageButtons buttons, MessageIcon icon) override;
    QString GetOpenFileName(QWidget *, const QString &filter) override
    {
        return Take({.kind = PromptKind::OpenFile, .filter = filter}).paths.value(0);
    }
    QStringList GetOpenFileNames(QWidget *, const QString &filter) override
    {
        return Take({.kind = PromptKind::OpenFiles, .filter = filter}).paths;
    }
    QString GetSaveFileName(QWidget *, const QString &filter) override
    {
        return Take({.kind = PromptKind::SaveFile, .filter = filter}).paths.value(0);
    }
    std::optional<LOGFONT> ChooseFont(QWidget *, const LOGFONT &initial) override
    {
        return Take({.kind = PromptKind::Font, .font = initial}).font;
    }
    std::optional<COLORREF> ChooseColor(QWidget *, COLORREF initial) override
    {
        return Take({.kind = PromptKind::Color, .color = initial}).color;
    }

private:
    struct Answer
    {
        PromptKind kind = PromptKind::Message;
        QStringList paths {};
        std::optional<LOGFONT> font {};
        std::optional<COLORREF> color {};
        MessageAnswer message = MessageAnswer::Ok;
        std::function<void()> whileShown {};
    };
    ScriptedPrompts &Queue(Answer answer)
    {
        m_answers.push_back(std::move(answer));
        return *this;
    }
    // Records the request and takes the next answer if it is of the request's kind.
    Answer Take(const PromptRequest &request, MessageAnswer cautious = MessageAnswer::Ok);

    std::deque<Answer> m_answers;
    std::vector<PromptRequest> m_requests;
};
