#include "platform/gui/MessageBoxLayout.h"

#include "platform/UiServices.h"

namespace platform::gui {

namespace {

QMessageBox::StandardButton buttonFor(int result)
{
    switch (result) {
    case msgbox::OK: return QMessageBox::Ok;
    case msgbox::Cancel: return QMessageBox::Cancel;
    case msgbox::Abort: return QMessageBox::Abort;
    case msgbox::Retry: return QMessageBox::Retry;
    case msgbox::Ignore: return QMessageBox::Ignore;
    case msgbox::Yes: return QMessageBox::Yes;
    case msgbox::No: return QMessageBox::No;
    default: return QMessageBox::NoButton;
    }
}

QMessageBox::Icon iconFor(int style)
{
    switch (msgbox::iconOf(style)) {
    case msgbox::Critical: return QMessageBox::Critical;
    case msgbox::Question: return QMessageBox::Question;
    case msgbox::Exclamation: return QMessageBox::Warning;
    case msgbox::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

MessageBoxLayout MessageBoxLayout::fromStyle(int style)
{
    MessageBoxLayout layout;
    layout.icon = iconFor(style);
    for (int n = 1; n <= msgbox::buttonCount(style); ++n) {
        const int result = msgbox::buttonResult(style, n);
        layout.buttons.push_back({buttonFor(result), result});
    }
    layout.defaultResult = msgbox::buttonResult(style, msgbox::defaultButtonOf(style));
    return layout;
}

int MessageBoxLayout::resultOf(QMessageBox::StandardButton pressed) const
{
    for (const Button& b : buttons) {
        if (b.button == pressed)
            return b.result;
    }
    return defaultResult;
}

QString messageBoxText(const QString& text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(u'\r', u'\n');
    return plain;
}

} // namespace platform::gui
