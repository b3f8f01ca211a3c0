#include "automation/ProjectStorage.h"

#include "platform/CheckedSaveFile.h"
#include "platform/CompoundFile.h"
#include "platform/FileBytes.h"
#include "platform/RuntimeError.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace kelvane::projectstorage {

using platform::StorageEntry;

namespace {

const QString kProjectStream = QStringLiteral("Project");
const QString kModulesStorage = QStringLiteral("Modules");
const QString kNameKey = QStringLiteral("Name=");
const QString kModuleKey = QStringLiteral("Module=");

bool isNamed(const StorageEntry& entry, const QString& name)
{
    return entry.name.compare(name, Qt::CaseInsensitive) == 0;
}

// The streams a knowledge-base document writes for itself.
bool isDocumentStream(const QString& name)
{
    static const QRegularExpression own(QStringLiteral("^(Picture|Background|GUID\\d*|Networks|\\d+|\\{[0-9A-F-]{36}\\})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    return own.match(name).hasMatch();
}

QStringList lines(const QByteArray& bytes)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return QString::fromUtf8(bytes).split(lineBreak, Qt::SkipEmptyParts);
}

// A storage named "Macros" is ours when its index starts with the project's name and its
// modules, if any, are a storage.
bool isOurStorage(const StorageEntry& storage)
{
    if (!storage.isStorage || !isNamed(storage, kStorageName))
        return false;
    const StorageEntry* index = storage.findChild(kProjectStream);
    const StorageEntry* modules = storage.findChild(kModulesStorage);
    if (!index || index->isStorage || (modules && !modules->isStorage))
        return false;
    const QStringList indexLines = lines(index->bytes);
    return !indexLines.isEmpty() && indexLines.first().startsWith(kNameKey);
}

// Any other entry of that name (a stream among them) is another program's.
bool isForeignStorage(const StorageEntry& entry)
{
    return isNamed(entry, kStorageName) && !isOurStorage(entry);
}

StorageEntry stream(const QString& name, const QByteArray& bytes)
{
    StorageEntry entry;
    entry.name = name;
    entry.bytes = bytes;
    return entry;
}

StorageEntry storage(const QString& name)
{
    StorageEntry entry = StorageEntry::emptyRoot();
    entry.name = name;
    return entry;
}

QString withoutLineBreaks(QString text, QChar replacement)
{
    return text.replace(u'\r', replacement).replace(u'\n', replacement);
}

// A module's name as the project keeps it: no line break (the index is a list of lines), and
// none taken already.
QString moduleNameFor(const QString& stored, const QSet<QString>& taken)
{
    constexpr qsizetype kMaxNameLength = 31;
    const QString name = stored.isEmpty() ? QStringLiteral("_") : withoutLineBreaks(stored, u'_');
    QString candidate = name;
    for (int n = 2; taken.contains(candidate.toCaseFolded()); ++n) {
        const QString suffix = u'_' + QString::number(n);
        candidate = name.left(kMaxNameLength - suffix.size()) + suffix;
    }
    return candidate;
}

StorageEntry projectStorage(const StoredProject& project)
{
    StorageEntry macros = storage(kStorageName);
    StorageEntry modules = storage(kModulesStorage);
    QString index = kNameKey + withoutLineBreaks(project.name, u' ') + QStringLiteral("\r\n");
    for (const MacroModule& module : project.modules) {
        index += kModuleKey + module.name + QStringLiteral("\r\n");
        modules.children.push_back(stream(module.name, module.text.toUtf8()));
    }
    for (const StorageEntry& carried : project.carried.insideModules) {
        if (!modules.findChild(carried.name))
            modules.children.push_back(carried);
    }
    macros.children.push_back(stream(kProjectStream, index.toUtf8()));
    macros.children.push_back(std::move(modules));
    for (const StorageEntry& carried : project.carried.inside) {
        if (!macros.findChild(carried.name))
            macros.children.push_back(carried);
    }
    return macros;
}

void readProject(const StorageEntry& macros, StoredProject& project)
{
    project.found = true;
    QStringList listed;
    for (const StorageEntry& entry : macros.children) {
        if (isNamed(entry, kProjectStream) && !entry.isStorage) {
            for (const QString& line : lines(entry.bytes)) {
                if (line.startsWith(kNameKey))
                    project.name = line.mid(kNameKey.size());
                else if (line.startsWith(kModuleKey))
                    listed << line.mid(kModuleKey.size());
            }
        } else if (!(isNamed(entry, kModulesStorage) && entry.isStorage)) {
            project.carried.inside.push_back(entry);
        }
    }
    const StorageEntry* modules = macros.findChild(kModulesStorage);
    if (!modules)
        return;
    // The modules in the order the index lists them, then any it does not list; each once.
    QSet<QString> inIndex; // the names listed, folded to one case
    for (const QString& name : listed)
        inIndex.insert(name.toCaseFolded());
    for (const StorageEntry& module : modules->children) {
        if (module.isStorage)
            project.carried.insideModules.push_back(module);
        else if (!inIndex.contains(module.name.toCaseFolded()))
            listed << module.name;
    }
    QSet<QString> seen;
    QSet<QString> taken; // the names kept, and those of the storages carried beside the modules
    for (const StorageEntry& carried : project.carried.insideModules)
        taken.insert(carried.name.toCaseFolded());
    for (const QString& name : listed) {
        const StorageEntry* module = modules->findChild(name);
        if (!module || module->isStorage || seen.contains(module->name.toCaseFolded()))
            continue;
        seen.insert(module->name.toCaseFolded());
        const QString kept = moduleNameFor(module->name, taken);
        taken.insert(kept.toCaseFolded());
        project.modules.append({kept, QString::fromUtf8(module->bytes)});
    }
}

} // namespace

bool CarriedEntries::holdsForeignStorage() const
{
    return std::any_of(beside.begin(), beside.end(), isForeignStorage);
}

bool CarriedEntries::holdsStorages() const
{
    return std::any_of(beside.begin(), beside.end(), [](const StorageEntry& entry) { return entry.isStorage; });
}

bool CarriedEntries::holdsForeignMacros() const
{
    const auto isProjectOfAnotherHost = [](const StorageEntry& entry) {
        const auto isNamedVba = [](const StorageEntry& child) { return child.isStorage && isNamed(child, QStringLiteral("VBA")); };
        return isNamedVba(entry) || (entry.isStorage && std::any_of(entry.children.begin(), entry.children.end(), isNamedVba));
    };
    return std::any_of(beside.begin(), beside.end(),
                       [&](const StorageEntry& entry) { return isForeignStorage(entry) || isProjectOfAnotherHost(entry); });
}

QStringList CarriedEntries::moduleStorageNames() const
{
    QStringList names;
    for (const StorageEntry& entry : insideModules)
        names << entry.name;
    return names;
}

StoredProject read(const StorageEntry& root, bool document)
{
    StoredProject project;
    for (const StorageEntry& entry : root.children) {
        if (!project.found && isOurStorage(entry))
            readProject(entry, project);
        else if (entry.isStorage || !document || !isDocumentStream(entry.name))
            project.carried.beside.push_back(entry);
    }
    return project;
}

void write(StorageEntry& root, const StoredProject& project)
{
    auto& children = root.children;
    const bool foreignInFile = std::any_of(children.begin(), children.end(), isForeignStorage);
    const bool foreign = foreignInFile || project.carried.holdsForeignStorage();
    if (foreign && project.found && !project.modules.isEmpty())
        raiseError(err::PathFileAccess,
                   QStringLiteral("The file holds a storage named \"%1\" that another program wrote. The macros are not "
                                  "saved over it.")
                       .arg(kStorageName));
    children.eraseIf(isOurStorage);
    for (const StorageEntry& carried : project.carried.beside) {
        if (!root.findChild(carried.name))
            children.push_back(carried);
    }
    if (project.found && !foreign)
        children.push_back(projectStorage(project));
}

StoredProject snapshotOf(const MacroProject& project, CarriedEntries carried)
{
    StoredProject stored;
    stored.found = true;
    stored.name = project.Name();
    stored.modules = project.modules();
    stored.carried = std::move(carried);
    return stored;
}

StoredProject carriedAlone(CarriedEntries carried, const QString& name)
{
    StoredProject stored;
    stored.found = !carried.inside.empty() || !carried.insideModules.empty();
    stored.name = name;
    stored.carried = std::move(carried);
    return stored;
}

StoredProject readFile(const QString& fileName, bool document)
{
    QByteArray bytes = platform::readFileBytes(fileName);
    if (bytes.isEmpty())
        return {};
    return read(platform::compoundfile::read(std::move(bytes)), document);
}

namespace {

void writeInto(const QString& fileName, StorageEntry root, const StoredProject& project)
{
    write(root, project);
    const QByteArray bytes = platform::compoundfile::write(root);
    platform::CheckedSaveFile file(fileName);
    if (file.open())
        file.write(bytes);
    if (!file.commit())
        raiseError(err::PathFileAccess, file.errorString());
}

} // namespace

void writeFile(const QString& fileName, const StoredProject& project)
{
    StorageEntry root = StorageEntry::emptyRoot();
    // A file that cannot be read as a compound file holds nothing to keep.
    if (QFileInfo::exists(fileName)) {
        try {
            QByteArray bytes = platform::readFileBytes(fileName);
            if (!bytes.isEmpty())
                root = platform::compoundfile::read(std::move(bytes));
        } catch (const RuntimeError&) {
        }
    }
    writeInto(fileName, std::move(root), project);
}

void replaceFile(const QString& fileName, const StoredProject& project)
{
    writeInto(fileName, StorageEntry::emptyRoot(), project);
}

void writeFile(const QString& fileName, const MacroProject& project)
{
    writeFile(fileName, snapshotOf(project));
}

} // namespace kelvane::projectstorage
