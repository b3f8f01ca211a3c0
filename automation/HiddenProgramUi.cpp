#include "automation/HiddenProgramUi.h"

#include "automation/MacroClock.h"
#include "shell/ShellGlobals.h"

#include <QScopedValueRollback>

namespace kelvane {

namespace msgbox = platform::msgbox;

HiddenProgramUi::HiddenProgramUi(std::unique_ptr<platform::UiServices> shown) : m_shown(std::move(shown)) {}

bool HiddenProgramUi::hidden()
{
    return basGlobal::AutomationMode;
}

template <class Ask>
auto HiddenProgramUi::asking(Ask&& ask)
{
    if (!m_macroClock)
        return ask(*m_shown);
    const MacroClock::Stopped answering(*m_macroClock);
    return ask(*m_shown);
}

int HiddenProgramUi::messageBox(const QString& text, int style, const QString& title)
{
    if (!hidden())
        return asking([&](UiServices& shown) { return shown.messageBox(text, style, title); });
    qWarning("%s: %s", qPrintable(title), qPrintable(QString(text).replace(u'\r', u' ')));
    constexpr qsizetype kKept = 100;
    m_unshown.append(text);
    if (m_unshown.size() > kKept) {
        m_unshown.removeFirst();
        ++m_forgotten;
    }
    switch (msgbox::buttonsOf(style)) {
    case msgbox::OKCancel:
    case msgbox::YesNoCancel:
    case msgbox::RetryCancel: return msgbox::Cancel;
    case msgbox::YesNo: return msgbox::No;
    default: return msgbox::buttonResult(style, 1);
    }
}

std::optional<QString> HiddenProgramUi::prompt(platform::PromptKind kind, const QString& title, const QString& label)
{
    if (hidden())
        return std::nullopt;
    return asking([&](UiServices& shown) { return shown.prompt(kind, title, label); });
}

std::optional<qint32> HiddenProgramUi::chooseColour(qint32 colour)
{
    if (hidden())
        return std::nullopt;
    return asking([&](UiServices& shown) { return shown.chooseColour(colour); });
}

platform::SpellingResult HiddenProgramUi::checkSpelling(const QString& text)
{
    if (hidden())
        return {text, true};
    return asking([&](UiServices& shown) { return shown.checkSpelling(text); });
}

void HiddenProgramUi::yield()
{
    const QScopedValueRollback yielding(m_yields, m_yields + 1);
    m_shown->yield();
}

} // namespace kelvane
