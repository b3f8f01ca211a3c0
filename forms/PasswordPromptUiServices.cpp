#include "forms/PasswordPromptUiServices.h"

#include "forms/frmpassword.h"
#include "model/basGlobal.h"

#include <QApplication>

namespace kelvane {

PasswordPromptUiServices::PasswordPromptUiServices(std::unique_ptr<platform::UiServices> inner)
    : m_inner(std::move(inner))
{
}

std::optional<QString> PasswordPromptUiServices::prompt(platform::PromptKind kind, const QString& title,
                                                        const QString& label)
{
    if (kind != platform::PromptKind::Password)
        return m_inner->prompt(kind, title, label);
    frmpassword form(QApplication::activeWindow());
    form.setWindowTitle(title);
    if (form.exec() != QDialog::Accepted)
        return std::nullopt;
    return basGlobal::EnteredPassword;
}

int PasswordPromptUiServices::messageBox(const QString& text, int style, const QString& title)
{
    return m_inner->messageBox(text, style, title);
}

std::optional<qint32> PasswordPromptUiServices::chooseColour(qint32 colour)
{
    return m_inner->chooseColour(colour);
}

bool PasswordPromptUiServices::spellingAvailable() { return m_inner->spellingAvailable(); }

platform::SpellingResult PasswordPromptUiServices::checkSpelling(const QString& text)
{
    return m_inner->checkSpelling(text);
}

void PasswordPromptUiServices::yield() { m_inner->yield(); }

void PasswordPromptUiServices::setBusyPointer(bool busy) { m_inner->setBusyPointer(busy); }

QString PasswordPromptUiServices::clipboardText() { return m_inner->clipboardText(); }

void PasswordPromptUiServices::setClipboardText(const QString& text) { m_inner->setClipboardText(text); }

QSize PasswordPromptUiServices::screenSizeTwips() { return m_inner->screenSizeTwips(); }

double PasswordPromptUiServices::textWidthTwips(const platform::FontDescription& font, const QString& text)
{
    return m_inner->textWidthTwips(font, text);
}

double PasswordPromptUiServices::textHeightTwips(const platform::FontDescription& font, const QString& text)
{
    return m_inner->textHeightTwips(font, text);
}

} // namespace kelvane
