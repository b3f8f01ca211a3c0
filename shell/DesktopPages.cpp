#include "shell/DesktopPages.h"

#include "model/basRegistry.h"
#include "platform/UiServices.h"
#include "shell/ShellGlobals.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace kelvane::desktoppages {

bool IsWebAddress(const QString& address)
{
    const QUrl url(address.trimmed());
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("mailto"))
        return !url.path().isEmpty();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty();
}

void OpenWebAddress(const QString& address)
{
    if (!IsWebAddress(address)) {
        platform::ui().messageBox(address + QStringLiteral(" is not a web or mail address and is not opened."),
                                  platform::msgbox::Exclamation, platform::applicationTitle());
        return;
    }
    QString target = address.trimmed();
    basRegistry::ShellFile(target);
}

void ShowHelpPage(const QString& page)
{
    QString target = page;
    if (!basRegistry::ShellFile(target))
        basRegistry::TellNotOpened(page);
}

void ShowHelpContents(const QString& title)
{
    if (basGlobal::HelpFile.isEmpty()) {
        platform::ui().messageBox(
            QStringLiteral("Unable to display Help Contents. There is no Help associated with this project."),
            platform::msgbox::Information, title);
        return;
    }
    ShowHelpPage(basGlobal::HelpFile);
}

void ShowHelpTopic(int context, const QString& title)
{
    if (context > 0 && !basGlobal::HelpFile.isEmpty()) {
        const QString topic = QFileInfo(basGlobal::HelpFile).dir().filePath(QString::number(context) + QStringLiteral(".html"));
        if (QFileInfo(topic).isFile()) {
            ShowHelpPage(topic);
            return;
        }
    }
    ShowHelpContents(title);
}

} // namespace kelvane::desktoppages
