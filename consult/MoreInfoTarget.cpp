#include "consult/MoreInfoTarget.h"

#include "model/basLibrary.h"
#include "model/basRegistry.h"
#include "platform/HostPath.h"
#include "platform/ProcessLauncher.h"
#include "platform/RuntimeError.h"

namespace kelvane {

namespace {

const QString kNotFound = QStringLiteral("Not Found");
const QString kDesktopOpener = QStringLiteral("xdg-open");

bool isRelative(const QString& target)
{
    return !target.contains(QStringLiteral("\\\\")) && !target.contains(u':') && !target.startsWith(u'/');
}

// The open command of a file class by its extension: the class the extension names, then
// that class's command; "Not Found" when either is missing.
QString openCommandOfExtension(const QString& extension)
{
    using namespace platform;
    const QString fileClass = basRegistry::ReadRegistryValue(HKEY_CLASSES_ROOT, extension, {}, kNotFound);
    return basRegistry::ReadRegistryValue(HKEY_CLASSES_ROOT, fileClass + QStringLiteral("\\shell\\open\\command"), {},
                                          kNotFound);
}

// The part of the target from the n-th "." of its file name (first or second) to its end;
// empty when there is none.
QString extensionFrom(const QString& target, int nth)
{
    const QString name = basLibrary::FileNameOfPath(target.trimmed());
    qsizetype dot = -1;
    for (int i = 0; i < nth; ++i) {
        dot = name.indexOf(u'.', dot + 1);
        if (dot < 0)
            return {};
    }
    return name.mid(dot);
}

} // namespace

MoreInfoTarget::MoreInfoTarget(const QString& stored, const QString& knowledgeBaseFile) : m_stored(stored)
{
    m_path = !isWebLink() && isRelative(stored) ? basLibrary::FolderOfPath(knowledgeBaseFile) + stored : stored;
}

bool MoreInfoTarget::isWebLink() const
{
    return m_stored.startsWith(QStringLiteral("HTTP://"), Qt::CaseInsensitive)
        || m_stored.startsWith(QStringLiteral("FILE:/"), Qt::CaseInsensitive);
}

bool MoreInfoTarget::hasOpenCommand() const
{
    if (isWebLink())
        return basRegistry::ReadRegistryValue(platform::HKEY_LOCAL_MACHINE,
                                              QStringLiteral("SOFTWARE\\Classes\\http\\shell\\open\\command"), {},
                                              kNotFound)
            != kNotFound;
    for (int nth : {1, 2}) {
        const QString extension = extensionFrom(m_stored, nth);
        if (!extension.isEmpty() && openCommandOfExtension(extension) != kNotFound)
            return true;
    }
    return false;
}

bool MoreInfoTarget::isShown() const
{
    if (isEmpty() || !hasOpenCommand())
        return false;
    return isWebLink() || basLibrary::FileExists(m_path);
}

QString MoreInfoTarget::openerArgument() const
{
    if (!isWebLink())
        return platform::hostPath(m_path);
    QString link = m_path;
    link.replace(u' ', QStringLiteral("%20"));
    return link;
}

bool MoreInfoTarget::open() const
{
    try {
        platform::launcher().start(kDesktopOpener, {openerArgument()});
    } catch (const RuntimeError&) {
        return false;
    }
    return true;
}

} // namespace kelvane
