#pragma once

#include "res/strings.h"
#include "ui/prompt_service.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <iosfwd>
#include <optional>
#include <vector>

// What a prompt asked, as the tests compare it.
enum class PromptKind { Message, OpenFile, OpenFiles, SaveFile, Font, Color };

struct PromptRequest
{
    PromptKind kind = PromptKind::Message;
    QString text {};    // messages
    QString caption {}; // messages
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    QString filter {};                // file dialogs, as the command gave it
    std::optional<LOGFONT> font {};   // the font dialog's starting font
    std::optional<COLORREF> color {}; // the colour dialog's starting colour

    // The three kinds of message box, and a file dialog of the given kind.
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

// A prompt service for tests: it answers from a queue, in order, records every request, and
// fails the test on a prompt it has no answer of that kind for (the prompt then gets the
// cautious answer: No, or cancelled). Installs itself while it lives; the destructor fails the
// test when answers were left unused.
class ScriptedPrompts : public PromptService
{
public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;
    ScriptedPrompts(const ScriptedPrompts &) = delete;
    ScriptedPrompts &operator=(const ScriptedPrompts &) = delete;

    ScriptedPrompts &AnswerMessage(MessageAnswer answer)
    {
        return Queue({.kind = PromptKind::Message, .message = answer});
    }
    ScriptedPrompts &AnswerOpenFile(const QString &path) // empty: cancelled
    {
        return Queue({.kind = PromptKind::OpenFile, .paths = {path}});
    }
    ScriptedPrompts &AnswerOpenFiles(const QStringList &paths)
    {
        return Queue({.kind = PromptKind::OpenFiles, .paths = paths});
    }
    ScriptedPrompts &AnswerSaveFile(const QString &path) // empty: cancelled
    {
        return Queue({.kind = PromptKind::SaveFile, .paths = {path}});
    }
    ScriptedPrompts &AnswerFont(std::optional<LOGFONT> font)
    {
        return Queue({.kind = PromptKind::Font, .font = font});
    }
    ScriptedPrompts &AnswerColor(std::optional<COLORREF> color)
    {
        return Queue({.kind = PromptKind::Color, .color = color});
    }
    // Runs while the next prompt is up, before it is answered (to look at the program then).
    ScriptedPrompts &WhileShown(std::function<void()> action);

    const std::vector<PromptRequest> &Requests() const { return m_requests; }
    void ClearRequests() { m_requests.clear(); }

    MessageAnswer ShowMessage(QWidget *owner, const QString &text, const QString &caption,
                              MessageButtons buttons, MessageIcon icon) override;
    QString GetOpenFileName(QWidget *owner, const QString &filter) override;
    QStringList GetOpenFileNames(QWidget *owner, const QString &filter) override;
    QString GetSaveFileName(QWidget *owner, const QString &filter) override;
    std::optional<LOGFONT> ChooseFont(QWidget *owner, const LOGFONT &initial) override;
    std::optional<COLORREF> ChooseColor(QWidget *owner, COLORREF initial) override;

private:
    struct Answer
    {
        PromptKind kind = PromptKind::Message;
        MessageAnswer message = MessageAnswer::Ok;
        QStringList paths {};
        std::optional<LOGFONT> font {};
        std::optional<COLORREF> color {};
        std::function<void()> whileShown {};
    };

    ScriptedPrompts &Queue(Answer answer);
    // Records the request and takes the next answer if it is of the request's kind.
    std::optional<Answer> Take(const PromptRequest &request);

    PromptService *m_previous = nullptr;
    std::deque<Answer> m_answers;
    std::function<void()> m_whileShown;
    std::vector<PromptRequest> m_requests;
};
