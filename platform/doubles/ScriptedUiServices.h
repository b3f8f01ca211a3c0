#pragma once

#include "platform/UiServices.h"

#include <QStringList>
#include <deque>
#include <vector>

namespace platform::doubles {

// UI services for tests: answers message boxes, prompts and colour dialogs from a script (or
// with the default button / a refusal when the script is empty) and records every call.
class ScriptedUiServices : public UiServices {
public:
    struct MessageBoxCall {
        QString text;
        int style = 0;
        QString title;
    };
    struct PromptCall {
        PromptKind kind = PromptKind::Text;
        QString title;
        QString label;
    };

    // Scripted answers, used first in, first out.
    void queueMessageBoxResult(int result) { m_boxResults.push_back(result); }
    void queuePromptAnswer(std::optional<QString> answer) { m_promptAnswers.push_back(std::move(answer)); }
    void queueColourAnswer(std::optional<qint32> answer) { m_colourAnswers.push_back(answer); }
    // The result of the next spelling check; without one a text comes back as it went in.
    void queueSpellingResult(SpellingResult result) { m_spellingResults.push_back(std::move(result)); }

    std::vector<MessageBoxCall> messageBoxes;
    std::vector<PromptCall> prompts;
    std::vector<qint32> colourDialogs; // the colour each dialog was preset with
    bool spellingInstalled = true;
    QStringList spellingChecks; // every text given to be checked, in order
    int yields = 0;
    std::vector<bool> busyPointer; // every change of the pointer, in order
    QString clipboard;
    QSize screen {1024 * 15, 768 * 15};

    int messageBox(const QString& text, int style, const QString& title) override;
    std::optional<QString> prompt(PromptKind kind, const QString& title, const QString& label) override;
    std::optional<qint32> chooseColour(qint32 colour) override;
    bool spellingAvailable() override { return spellingInstalled; }
    SpellingResult checkSpelling(const QString& text) override;
    void yield() override { ++yields; }
    void setBusyPointer(bool busy) override { busyPointer.push_back(busy); }
    QString clipboardText() override { return clipboard; }
    void setClipboardText(const QString& text) override { clipboard = text; }
    QSize screenSizeTwips() override { return screen; }
    // Deterministic metrics: 100 twips a character per 8 points; height 240 twips per 8 points.
    double textWidthTwips(const FontDescription& font, const QString& text) override;
    double textHeightTwips(const FontDescription& font, const QString& text) override;

private:
    std::deque<int> m_boxResults;
    std::deque<std::optional<QString>> m_promptAnswers;
    std::deque<std::optional<qint32>> m_colourAnswers;
    std::deque<SpellingResult> m_spellingResults;
};

} // namespace platform::doubles
