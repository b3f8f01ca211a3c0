#include "model/basRegistry.h"

#include "model/ErrorTrap.h"
#include "platform/CommandLine.h"
#include "platform/HostPath.h"
#include "platform/ProcessLauncher.h"
#include "platform/UiServices.h"

#include <QStringList>

namespace basRegistry {

using platform::HKEY_CLASSES_ROOT;
using platform::HKEY_LOCAL_MACHINE;

namespace {

constexpr qsizetype kValueBufferBytes = 255;
const QString kNotFound = QStringLiteral("Not Found");
const QString kQuotedPlaceholder = QStringLiteral("\"%1\"");
const QString kPlaceholder = QStringLiteral("%1");

bool isWebLink(const QString& target)
{
    for (const auto& scheme : {u"HTTP://", u"HTTPS://", u"FILE:/", u"MAILTO:"}) {
        if (target.startsWith(QStringView(scheme), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// The extension of the target's file name, from its last "." (the whole target without one).
QString extensionOf(const QString& target)
{
    const qsizetype nameStart = std::max(target.lastIndexOf(u'\\'), target.lastIndexOf(u'/')) + 1;
    const qsizetype dot = target.lastIndexOf(u'.');
    return dot >= nameStart ? target.mid(dot) : target;
}

// The extension of the second attempt: from the second "." of the trimmed target.
QString secondExtensionOf(const QString& target)
{
    const QString trimmed = target.trimmed();
    const qsizetype first = trimmed.indexOf(u'.');
    const qsizetype second = trimmed.indexOf(u'.', first + 1);
    return second >= 0 ? trimmed.mid(second) : trimmed;
}

QString openCommandOfType(const QString& extension)
{
    const QString type = ReadRegistryValue(HKEY_CLASSES_ROOT, extension, {}, kNotFound);
    return ReadRegistryValue(HKEY_CLASSES_ROOT, type + QStringLiteral("\\shell\\open\\command"), {}, kNotFound);
}

bool isFound(const QString& command) { return command.toUpper() != kNotFound.toUpper(); }

// The target goes to the program as an argument of its own, so the placeholders go.
QString withoutPlaceholders(QString command)
{
    command.remove(kQuotedPlaceholder);
    command.remove(kPlaceholder);
    return command;
}

// A quoted program path keeps only itself: the switches written after it are dropped.
QString quotedProgramOnly(const QString& command)
{
    if (!command.startsWith(u'"'))
        return command;
    const qsizetype closing = command.indexOf(u'"', 1);
    return closing < 0 ? command : command.left(closing + 1);
}

QString systemRoot()
{
    const QString root = ReadRegistryValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion"),
                                           QStringLiteral("SystemRoot"), {});
    if (!root.isEmpty())
        return root;
    return ReadRegistryValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"),
                             QStringLiteral("SystemRoot"), {});
}

// Starts the command's program with its own arguments and the target as the last one.
// A command without a program leaves the target itself to be started.
void launch(const QString& command, const QString& target)
{
    QStringList parts = platform::splitCommandLine(command);
    if (parts.isEmpty()) {
        platform::launcher().start(target, {});
        return;
    }
    const QString program = parts.takeFirst();
    platform::launcher().start(program, parts << target);
}

} // namespace

QString ReadRegistryValue(platform::RegistryHive hive, const QString& keyPath, const QString& valueName,
                          const QString& defaultValue)
{
    try {
        const std::optional<QString> value = platform::registry().queryValue(hive, keyPath, valueName);
        if (!value)
            return defaultValue;
        // The value and its terminating NUL must fit the buffer; the text stays as it is, in
        // any script.
        if (value->size() + 1 > kValueBufferBytes)
            return defaultValue;
        return *value;
    } catch (...) {
        const kelvane::RuntimeError error = kelvane::toRuntimeError(std::current_exception());
        platform::ui().messageBox(QStringLiteral("ERROR #") + QString::number(error.Number()) + QStringLiteral(" : ")
                                      + error.Description() + u'\r' + QStringLiteral("Please exit and try again."),
                                  platform::msgbox::OKOnly, platform::applicationTitle());
        return {};
    }
}

QString GetLocalServerPath(const QString& progId)
{
    const QString clsid = ReadRegistryValue(HKEY_CLASSES_ROOT, progId + QStringLiteral("\\ClsID"), {}, {});
    return ReadRegistryValue(HKEY_CLASSES_ROOT, QStringLiteral("ClsID\\") + clsid + QStringLiteral("\\LocalServer32"),
                             {}, {});
}

bool ShellFile(QString& target)
{
    return kelvane::trapped("basRegistry", "ShellFile", false, [&] {
        const bool webLink = isWebLink(target);
        QString command;
        if (webLink) {
            command = ReadRegistryValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Classes\\http\\shell\\open\\command"),
                                        {}, kNotFound);
            target.replace(u' ', QStringLiteral("%20"));
        } else {
            command = openCommandOfType(extensionOf(target));
        }
        const QString argument = webLink ? target : platform::hostPath(target);

        command = quotedProgramOnly(withoutPlaceholders(command));
        command.replace(QStringLiteral("%SystemRoot%"), systemRoot());
        if (isFound(command)) {
            launch(command, argument);
            return true;
        }

        const QString secondCommand = openCommandOfType(secondExtensionOf(target));
        if (!isFound(secondCommand))
            return false;
        launch(withoutPlaceholders(secondCommand), argument);
        return true;
    });
}

void TellNotOpened(const QString& target)
{
    platform::ui().messageBox(target + QStringLiteral(" could not be opened."), platform::msgbox::Exclamation,
                              platform::applicationTitle());
}

} // namespace basRegistry
