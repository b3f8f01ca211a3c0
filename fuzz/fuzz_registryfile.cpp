// Reads the input as the registry file, as the program's queries and its class registration do.
// A file that reads answers every query, takes a value written, reads it back, and keeps every
// other value as it was; a file that does not read (a damaged one) raises the registry's own
// error for every call and is never written over.
#include "FuzzSupport.h"

#include "platform/Registry.h"
#include "platform/RuntimeError.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <map>
#include <optional>
#include <utility>

namespace {

using platform::HKEY_CLASSES_ROOT;

const QString kClassesRoot = QStringLiteral("HKEY_CLASSES_ROOT\\");
const QString kWrittenKey = QStringLiteral(".qkb");
const QString kWrittenValue = QStringLiteral("Kelvane.KnowledgeBase");
constexpr int kValuesChecked = 8;

using Values = std::map<std::pair<QString, QString>, std::optional<QString>>;

// What the registry answers for the first values the file holds under HKEY_CLASSES_ROOT, apart
// from the key written and those below it.
Values valuesHeld(platform::Registry& registry, const QByteArray& file)
{
    Values values;
    const QJsonObject keys = QJsonDocument::fromJson(file).object();
    for (auto key = keys.begin(); key != keys.end() && int(values.size()) < kValuesChecked; ++key) {
        if (!key.key().startsWith(kClassesRoot, Qt::CaseInsensitive))
            continue;
        const QString path = key.key().mid(kClassesRoot.size());
        if (path.compare(kWrittenKey, Qt::CaseInsensitive) == 0 || path.startsWith(kWrittenKey + u'\\', Qt::CaseInsensitive))
            continue;
        values[{path, {}}] = registry.queryValue(HKEY_CLASSES_ROOT, path, {});
        const QJsonObject named = key.value().toObject();
        for (auto value = named.begin(); value != named.end() && int(values.size()) < kValuesChecked; ++value) {
            if (!value.key().isEmpty())
                values[{path, value.key()}] = registry.queryValue(HKEY_CLASSES_ROOT, path, value.key());
        }
    }
    return values;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = fuzz::scratchFolder() + QStringLiteral("/registry.json");
    const QByteArray input = fuzz::bytesOf(data, size);
    QFile::remove(path);
    fuzz::writeFile(path, input);
    platform::FileRegistry registry(path);

    // The reads the program makes: a document's type and its opener, a link's opener, a class.
    Values before;
    bool readable = true;
    try {
        registry.queryValue(HKEY_CLASSES_ROOT, QStringLiteral(".pdf"), {});
        registry.queryValue(platform::HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Classes\\http\\shell\\open\\command"), {});
        registry.keyExists(HKEY_CLASSES_ROOT, QStringLiteral("CLSID"));
        before = valuesHeld(registry, input);
    } catch (const kelvane::RuntimeError&) {
        readable = false;
    }

    try {
        registry.setValue(HKEY_CLASSES_ROOT, kWrittenKey, {}, kWrittenValue);
        registry.createKey(HKEY_CLASSES_ROOT, kWrittenKey + QStringLiteral("\\ShellNew"));
    } catch (const kelvane::RuntimeError&) {
        fuzz::require(!readable, "a registry file that reads could not be written");
        fuzz::require(fileBytes(path) == input, "a registry file that does not read was written over");
        return 0;
    }
    fuzz::require(readable, "a registry file that does not read was written");
    fuzz::require(registry.queryValue(HKEY_CLASSES_ROOT, kWrittenKey, {}) == kWrittenValue, "a value written does not read back");
    fuzz::require(registry.keyExists(HKEY_CLASSES_ROOT, kWrittenKey + QStringLiteral("\\shellnew")), "a key made is not there");
    fuzz::require(valuesHeld(registry, input) == before, "a write changed other values of the registry");

    registry.deleteKey(HKEY_CLASSES_ROOT, kWrittenKey);
    fuzz::require(!registry.keyExists(HKEY_CLASSES_ROOT, kWrittenKey + QStringLiteral("\\ShellNew")), "a key deleted is still there");
    fuzz::require(valuesHeld(registry, input) == before, "a key deleted took other values of the registry");
    return 0;
}
