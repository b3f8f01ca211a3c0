#include "platform/UiServices.h"

#include "platform/RuntimeError.h"

#include <QCoreApplication>
#include <cstdio>

namespace platform {

int msgbox::buttonResult(int style, int n)
{
    static constexpr int kResults[6][3] = {
        {OK, OK, OK},
        {OK, Cancel, Cancel},
        {Abort, Retry, Ignore},
        {Yes, No, Cancel},
        {Yes, No, No},
        {Retry, Cancel, Cancel},
    };
    const int buttons = buttonsOf(style);
    const int row = buttons < 6 ? buttons : 0;
    const int column = n < 1 ? 0 : n > 3 ? 2 : n - 1;
    return kResults[row][column];
}

int msgbox::buttonCount(int style)
{
    switch (buttonsOf(style)) {
    case OKCancel:
    case YesNo:
    case RetryCancel: return 2;
    case AbortRetryIgnore:
    case YesNoCancel: return 3;
    default: return 1;
    }
}

int HeadlessUiServices::messageBox(const QString& text, int style, const QString& title)
{
    std::fprintf(stderr, "[%s] %s\n", qPrintable(title), qPrintable(text));
    return msgbox::buttonResult(style, msgbox::defaultButtonOf(style));
}

std::optional<QString> HeadlessUiServices::prompt(PromptKind, const QString&, const QString&)
{
    return std::nullopt;
}

std::optional<qint32> HeadlessUiServices::chooseColour(qint32)
{
    return std::nullopt;
}

bool HeadlessUiServices::spellingAvailable() { return false; }

SpellingResult HeadlessUiServices::checkSpelling(const QString&)
{
    kelvane::raiseError(kelvane::err::CantCreateObject, QStringLiteral("No spelling checker is available."));
}

void HeadlessUiServices::yield()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void HeadlessUiServices::setBusyPointer(bool) {}

QString HeadlessUiServices::clipboardText() { return m_clipboard; }

void HeadlessUiServices::setClipboardText(const QString& text) { m_clipboard = text; }

QSize HeadlessUiServices::screenSizeTwips() { return {1024 * 15, 768 * 15}; }

// Fixed metrics: a character is half as wide as the font is high; a point is 20 twips.
double HeadlessUiServices::textWidthTwips(const FontDescription& font, const QString& text)
{
    return text.size() * font.size * 10.0;
}

double HeadlessUiServices::textHeightTwips(const FontDescription& font, const QString&)
{
    return font.size * 20.0 * 1.2;
}

std::unique_ptr<UiServices> ServiceDefault<UiServices>::create()
{
    return std::make_unique<HeadlessUiServices>();
}

QString applicationTitle()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Kelvane") : name;
}

} // namespace platform
