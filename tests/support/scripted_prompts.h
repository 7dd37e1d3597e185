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
        using namespace strings;
        return {.text = text, .caption = kProgramTitle, .icon = MessageIcon::Exclamation};
    }
    static PromptRequest Question(const QString &text)
    {
        using namespace strings;
        return {.text = text, .caption = kQuestionCaption, .buttons = MessageButtons::YesNo};
    }
    static PromptRequest Notice(const QString &text) { return {.text = text}; }
    static PromptRequest FileDialog(PromptKind k, const QString &f)
    {
        return {.kind = k, .filter = f};
    }
    friend bool operator==(const PromptRequest &, const PromptRequest &) = default;
};
void PrintTo(const PromptRequest &request, std::ostream *out);

// A prompt service for tests, installed while it lives: it answers from a queue, in order, and
// records every request. A prompt whose kind is not the next answer's, or an answer never asked
// for, fails the test; the prompt then gets the cautious answer: No, or cancelled.
class ScriptedPrompts : public PromptService
{
    using K = PromptKind;

public:
    ScriptedPrompts() { SetPrompts(this); }
    ~ScriptedPrompts() override;

    // An empty path or list: cancelled.
    ScriptedPrompts &AnswerMessage(MessageAnswer a) { return Queue({.message = a}); }
    ScriptedPrompts &AnswerOpenFile(const QString &p) { return Queue({K::OpenFile, {p}}); }
    ScriptedPrompts &AnswerOpenFiles(const QStringList &p) { return Queue({K::OpenFiles, p}); }
    ScriptedPrompts &AnswerSaveFile(const QString &p) { return Queue({K::SaveFile, {p}}); }
    ScriptedPrompts &AnswerFont(std::optional<LOGFONT> f) { return Queue({K::Font, {}, f}); }
    ScriptedPrompts &AnswerColor(std::optional<COLORREF> c) { return Queue({K::Color, {}, {}, c}); }
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
    QString GetOpenFileName(QWidget *, const QString &f) override { return Path(K::OpenFile, f); }
    QStringList GetOpenFileNames(QWidget *, const QString &f) override
    {
        return Paths(K::OpenFiles, f);
    }
    QString GetSaveFileName(QWidget *, const QString &f) override { return Path(K::SaveFile, f); }
    std::optional<LOGFONT> ChooseFont(QWidget *, const LOGFONT &f) override
    {
        return Take({.kind = K::Font, .font = f}).font;
    }
    std::optional<COLORREF> ChooseColor(QWidget *, COLORREF c) override
    {
        return Take({.kind = K::Color, .color = c}).color;
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
    QStringList Paths(K k, const QString &f) { return Take({.kind = k, .filter = f}).paths; }
    QString Path(K k, const QString &f) { return Paths(k, f).value(0); }
    // Records the request and takes the next answer if it is of the request's kind.
    Answer Take(const PromptRequest &request, MessageAnswer cautious = MessageAnswer::Ok);

    std::deque<Answer> m_answers;
    std::vector<PromptRequest> m_requests;
};
