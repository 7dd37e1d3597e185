#pragma once

// The prompt service: its Qt implementation is QtPromptService, the tests' ScriptedPrompts.

#include "platform/colorref.h"
#include "platform/logfont.h"

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

enum class MessageIcon { None, Exclamation };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Every message box, file dialog, font dialog and colour dialog of the program goes through
// this service, so tests can answer them and check exactly what was asked.
class PromptService
{
public:
    virtual ~PromptService() = default;

    virtual MessageAnswer ShowMessage(QWidget *owner, const QString &text, const QString &caption,
                                      MessageButtons buttons, MessageIcon icon)
        = 0;

    // Open dialog for one existing file; empty when cancelled.
    virtual QString GetOpenFileName(QWidget *owner, const QString &filter) = 0;
    // Open dialog with multiple selection; empty when cancelled.
    virtual QStringList GetOpenFileNames(QWidget *owner, const QString &filter) = 0;
    // Save dialog; empty when cancelled.
    virtual QString GetSaveFileName(QWidget *owner, const QString &filter) = 0;
    // Font dialog starting from initial; the whole chosen record, or nothing when cancelled.
    virtual std::optional<LOGFONT> ChooseFont(QWidget *owner, const LOGFONT &initial) = 0;
    // Colour dialog starting from initial, with the run's 16 custom colours; nothing when
    // cancelled.
    virtual std::optional<COLORREF> ChooseColor(QWidget *owner, COLORREF initial) = 0;

    // The three kinds of message box the program uses.
    // Warning: exclamation icon, OK, the program's title as caption.
    MessageAnswer Warning(QWidget *owner, const QString &text);
    // Question: caption "询问", Yes and No, no icon.
    MessageAnswer Question(QWidget *owner, const QString &text);
    // Notice: empty caption, OK, no icon.
    MessageAnswer Notice(QWidget *owner, const QString &text);
};

// The service the program uses; tests install a scripted one.
PromptService &Prompts();
void SetPrompts(PromptService *service);
