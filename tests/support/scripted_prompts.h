#pragma once

#include "res/strings.h"
#include "ui/prompt_service.h"

#include <deque>
#include <functional>
#include <iosfwd>
#include <vector>

enum class PromptKind { Message, OpenFile, OpenFiles, SaveFile, Font, Color };

// What a prompt asked, as the tests compare it.
struct PromptRequest
{
    PromptKind kind = PromptKind::Message;
    QString text {}; // a file dialog's filter, as the command gave it
    QString caption {};
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;

    static PromptRequest Warning(const QString &t)
    {
        return {.text = t, .caption = strings::kProgramTitle, .icon = MessageIcon::Exclamation};
    }
    static PromptRequest Question(const QString &t)
    {
        return {.text = t, .caption = strings::kQuestionCaption, .buttons = MessageButtons::YesNo};
    }
    static PromptRequest Notice(const QString &t) { return {.text = t}; }
    static PromptRequest FileDialog(PromptKind k, const QString &f) { return {k, f}; }
    friend bool operator==(const PromptRequest &, const PromptRequest &) = default;
};
void PrintTo(const PromptRequest &request, std::ostream *out);

// A prompt service for tests, installed while it lives: it answers from a queue, in order, and
// records every request. A prompt whose kind is not the next answer's, or an answer never asked
// for, fails the test; the prompt then gets the cautious answer: No, or cancelled.
class ScriptedPrompts : public PromptService
{
    using K = PromptKind;
    using Font = std::optional<LOGFONT>;
    using Color = std::optional<COLORREF>;

public:
    ScriptedPrompts() { SetPrompts(this); }
    ~ScriptedPrompts() override;

    // An empty path or list: cancelled.
    // shown runs while the message is up, before it is answered.
    ScriptedPrompts &AnswerMessage(MessageAnswer a, std::function<void()> shown = {})
    {
        return Queue({.message = a, .whileShown = std::move(shown)});
    }
    ScriptedPrompts &AnswerOpenFile(const QString &p) { return Queue({K::OpenFile, {p}}); }
    ScriptedPrompts &AnswerOpenFiles(const QStringList &p) { return Queue({K::OpenFiles, p}); }
    ScriptedPrompts &AnswerSaveFile(const QString &p) { return Queue({K::SaveFile, {p}}); }
    ScriptedPrompts &AnswerFont(Font f) { return Queue({K::Font, {}, f}); }
    ScriptedPrompts &AnswerColor(Color c) { return Queue({K::Color, {}, {}, c}); }
    const std::vector<PromptRequest> &Requests() const { return m_requests; }

    MessageAnswer ShowMessage(QWidget *, const QString &text, const QString &caption,
                              MessageButtons buttons, MessageIcon icon) override;
    QString GetOpenFileName(QWidget *, const QString &f) override { return Take(K::OpenFile, f); }
    QStringList GetOpenFileNames(QWidget *, const QString &f) override
    {
        return Take(K::OpenFiles, f).paths;
    }
    QString GetSaveFileName(QWidget *, const QString &f) override { return Take(K::SaveFile, f); }
    Font ChooseFont(QWidget *, const LOGFONT &) override { return Take(K::Font).font; }
    Color ChooseColor(QWidget *, COLORREF) override { return Take(K::Color).color; }

private:
    struct Answer
    {
        PromptKind kind = PromptKind::Message;
        QStringList paths {};
        Font font {};
        Color color {};
        MessageAnswer message = MessageAnswer::No;
        std::function<void()> whileShown {};
        operator QString() const { return paths.value(0); }
    };
    ScriptedPrompts &Queue(Answer answer)
    {
        m_answers.push_back(std::move(answer));
        return *this;
    }
    // Records the request and takes the next answer if it is of the request's kind.
    Answer Take(PromptKind kind, const QString &filter = {}) { return Take({kind, filter}); }
    Answer Take(const PromptRequest &request);

    std::deque<Answer> m_answers;
    std::vector<PromptRequest> m_requests;
};
