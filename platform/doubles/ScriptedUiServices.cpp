#include "platform/doubles/ScriptedUiServices.h"

#include "platform/doubles/FixedTextMetrics.h"
#include "platform/RuntimeError.h"

namespace platform::doubles {

int ScriptedUiServices::messageBox(const QString& text, int style, const QString& title)
{
    messageBoxes.push_back({text, style, title});
    if (m_boxResults.empty())
        return msgbox::buttonResult(style, msgbox::defaultButtonOf(style));
    const int result = m_boxResults.front();
    m_boxResults.pop_front();
    return result;
}

std::optional<QString> ScriptedUiServices::prompt(PromptKind kind, const QString& title, const QString& label)
{
    prompts.push_back({kind, title, label});
    if (m_promptAnswers.empty())
        return std::nullopt;
    auto answer = m_promptAnswers.front();
    m_promptAnswers.pop_front();
    return answer;
}

std::optional<qint32> ScriptedUiServices::chooseColour(qint32 colour)
{
    colourDialogs.push_back(colour);
    if (m_colourAnswers.empty())
        return std::nullopt;
    const auto answer = m_colourAnswers.front();
    m_colourAnswers.pop_front();
    return answer;
}

SpellingResult ScriptedUiServices::checkSpelling(const QString& text)
{
    if (!spellingInstalled)
        kelvane::raiseError(kelvane::err::CantCreateObject, QStringLiteral("No spelling checker is available."));
    spellingChecks << text;
    if (m_spellingResults.empty())
        return {text, false};
    auto result = std::move(m_spellingResults.front());
    m_spellingResults.pop_front();
    return result;
}

double ScriptedUiServices::textWidthTwips(const FontDescription& font, const QString& text)
{
    return text.size() * fixedmetrics::characterWidth(font);
}

double ScriptedUiServices::textHeightTwips(const FontDescription& font, const QString&)
{
    return fixedmetrics::lineHeight(font);
}

} // namespace platform::doubles
