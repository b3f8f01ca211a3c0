#pragma once

#include "platform/UiServices.h"

#include <QStringList>
#include <memory>

namespace kelvane {

class MacroClock;

// The program's user-interface services as the automation layer installs them over the
// program's own. While the main window is hidden for an automation client (the automation
// flag), nobody could answer a modal dialog: a message box is not shown but written to the log
// and kept (unshownSince), and answers as a user who declines would (Cancel where offered, else
// No, else its first button); prompts, the colour dialog and the spelling check are refused.
// It also counts the yields to the message loop under way, so that work that must not run
// inside one (the program's shutdown) can wait for them to return, and it stops the macro clock
// while the user answers a dialog: that time is not the macro's.
class HiddenProgramUi : public platform::UiServices {
public:
    explicit HiddenProgramUi(std::unique_ptr<platform::UiServices> shown);

    void setMacroClock(std::shared_ptr<MacroClock> clock) { m_macroClock = std::move(clock); }

    // The services it stands over (handed back when it goes).
    std::unique_ptr<platform::UiServices> release() { return std::move(m_shown); }

    // A yield to the message loop is under way.
    bool yielding() const { return m_yields > 0; }
    // The number of message boxes not shown so far, and their texts since such a count (of the
    // latest ones: older texts are let go).
    qsizetype unshownCount() const { return m_forgotten + m_unshown.size(); }
    QStringList unshownSince(qsizetype count) const { return m_unshown.mid(qMax<qsizetype>(0, count - m_forgotten)); }

    int messageBox(const QString& text, int style, const QString& title) override;
    std::optional<QString> prompt(platform::PromptKind kind, const QString& title, const QString& label) override;
    std::optional<qint32> chooseColour(qint32 colour) override;
    bool spellingAvailable() override { return m_shown->spellingAvailable(); }
    platform::SpellingResult checkSpelling(const QString& text) override;
    void yield() override;
    void setBusyPointer(bool busy) override { m_shown->setBusyPointer(busy); }
    QString clipboardText() override { return m_shown->clipboardText(); }
    void setClipboardText(const QString& text) override { m_shown->setClipboardText(text); }
    QSize screenSizeTwips() override { return m_shown->screenSizeTwips(); }
    double textWidthTwips(const platform::FontDescription& font, const QString& text) override
    {
        return m_shown->textWidthTwips(font, text);
    }
    double textHeightTwips(const platform::FontDescription& font, const QString& text) override
    {
        return m_shown->textHeightTwips(font, text);
    }

private:
    static bool hidden();
    // Asks the user through the services shown, with the macro clock stopped meanwhile.
    template <class Ask>
    auto asking(Ask&& ask);

    std::unique_ptr<platform::UiServices> m_shown;
    QStringList m_unshown;
    qsizetype m_forgotten = 0; // texts let go from the front of m_unshown
    int m_yields = 0;
    std::shared_ptr<MacroClock> m_macroClock;
};

} // namespace kelvane
