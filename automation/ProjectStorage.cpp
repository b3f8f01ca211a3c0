#include "automation/ProjectStorage.h"

#include "platform/CheckedSaveFile.h"
#include "platform/CompoundFile.h"
#include "platform/FileBytes.h"
#include "platform/RuntimeError.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace kelvane::projectstorage {

using platform::StorageEntry;

namespace {

const QString kProjectStream = QStringLiteral("Project");
const QString kModulesStorage = QStringLiteral("Modules");
const QString kNameKey = QStringLiteral("Name=");
const QString kModuleKey = QStringLiteral("Module=");

// The streams a knowledge-base document writes for itself.
bool isDocumentStream(const QString& name)
{
    static const QRegularExpression own(QStringLiteral("^(Picture|Background|GUID\\d*|Networks|\\d+|\\{[0-9A-F-]{36}\\})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    return own.match(name).hasMatch();
}

StorageEntry stream(const QString& name, const QByteArray& bytes)
{
    StorageEntry entry;
    entry.name = name;
    entry.bytes = bytes;
    return entry;
}

StorageEntry projectStorage(const MacroProject& project)
{
    StorageEntry storage = StorageEntry::emptyRoot();
    storage.name = kStorageName;
    StorageEntry modules = StorageEntry::emptyRoot();
    modules.name = kModulesStorage;
    QString index = kNameKey + project.Name() + QStringLiteral("\r\n");
    for (const MacroModule& module : project.modules()) {
        index += kModuleKey + module.name + QStringLiteral("\r\n");
        modules.children.push_back(stream(module.name, module.text.toUtf8()));
    }
    storage.children.push_back(stream(kProjectStream, index.toUtf8()));
    storage.children.push_back(std::move(modules));
    return storage;
}

void readProject(const StorageEntry& storage, StoredProject& project)
{
    project.found = true;
    const StorageEntry* modules = storage.findChild(kModulesStorage);
    QStringList listed;
    if (const StorageEntry* index = storage.findChild(kProjectStream)) {
        for (const QString& line : QString::fromUtf8(index->bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
            if (line.startsWith(kNameKey))
                project.name = line.mid(kNameKey.size());
            else if (line.startsWith(kModuleKey))
                listed << line.mid(kModuleKey.size());
        }
    }
    if (!modules)
        return;
    // The modules in the order the index lists them, then any it does not list.
    for (const StorageEntry& module : modules->children) {
        if (!module.isStorage && !listed.contains(module.name, Qt::CaseInsensitive))
            listed << module.name;
    }
    for (const QString& name : listed) {
        if (const StorageEntry* module = modules->findChild(name); module && !module->isStorage)
            project.modules.append({module->name, QString::fromUtf8(module->bytes)});
    }
}

} // namespace

StoredProject read(const StorageEntry& root, bool document)
{
    StoredProject project;
    for (const StorageEntry& entry : root.children) {
        if (entry.isStorage && entry.name.compare(kStorageName, Qt::CaseInsensitive) == 0)
            readProject(entry, project);
        else if (entry.isStorage || !document || !isDocumentStream(entry.name))
            project.carried.push_back(entry);
    }
    return project;
}

void write(StorageEntry& root, const MacroProject& project)
{
    auto& children = root.children;
    children.erase(std::remove_if(children.begin(), children.end(),
                                  [](const StorageEntry& entry) {
                                      return entry.name.compare(kStorageName, Qt::CaseInsensitive) == 0;
                                  }),
                   children.end());
    for (const StorageEntry& carried : project.carried) {
        if (!root.findChild(carried.name))
            children.push_back(carried);
    }
    children.push_back(projectStorage(project));
}

StoredProject readFile(const QString& fileName, bool document)
{
    const QByteArray bytes = platform::readFileBytes(fileName);
    if (bytes.isEmpty())
        return {};
    return read(platform::compoundfile::read(bytes), document);
}

void writeFile(const QString& fileName, const MacroProject& project)
{
    StorageEntry root = StorageEntry::emptyRoot();
    // A file that cannot be read as a compound file holds nothing to keep.
    if (QFileInfo::exists(fileName)) {
        try {
            const QByteArray bytes = platform::readFileBytes(fileName);
            if (!bytes.isEmpty())
                root = platform::compoundfile::read(bytes);
        } catch (const RuntimeError&) {
        }
    }
    write(root, project);
    platform::CheckedSaveFile file(fileName);
    if (file.open())
        file.write(platform::compoundfile::write(root));
    if (!file.commit())
        raiseError(err::PathFileAccess, file.errorString());
}

} // namespace kelvane::projectstorage
