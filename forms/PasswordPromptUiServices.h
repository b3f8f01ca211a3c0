#pragma once

#include "platform/UiServices.h"

#include <memory>

namespace kelvane {

// The program's UI services with the password prompt shown as frmpassword: every other call
// goes to the services it wraps. The program installs it at start-up around its Qt UI
// services, so the readers of stored knowledge bases, which only ask
// platform::ui().prompt(PromptKind::Password, ...), show this dialog. Needs a QApplication.
class PasswordPromptUiServices : public platform::UiServices {
public:
    explicit PasswordPromptUiServices(std::unique_ptr<platform::UiServices> inner);

    // A password prompt shows frmpassword with `title` as its caption (the label is not
    // shown: the dialog has none) and gives the text OK stored, or nothing when the dialog
    // was closed without OK. Text prompts go to the wrapped services.
    std::optional<QString> prompt(platform::PromptKind kind, const QString& title, const QString& label) override;

    int messageBox(const QString& text, int style, const QString& title) override;
    std::optional<qint32> chooseColour(qint32 colour) override;
    bool spellingAvailable() override;
    platform::SpellingResult checkSpelling(const QString& text) override;
    void yield() override;
    void setBusyPointer(bool busy) override;
    QString clipboardText() override;
    void setClipboardText(const QString& text) override;
    QSize screenSizeTwips() override;
    double textWidthTwips(const platform::FontDescription& font, const QString& text) override;
    double textHeightTwips(const platform::FontDescription& font, const QString& text) override;

private:
    std::unique_ptr<platform::UiServices> m_inner;
};

} // namespace kelvane
