// Reads the input as a file holding a macro project, both ways the program keeps one: inside a
// knowledge-base document and as the ".vba" file beside an XML document. What was read is
// written as a save writes it and read again: the written file must open, and the project with
// every entry carried beside it must come back as it was read. Inputs that are no compound file,
// and saves refused with the error type (another program's "Macros" storage), are clean ends.
#include "automation/ProjectStorage.h"
#include "platform/CompoundFile.h"
#include "platform/RuntimeError.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using platform::StorageEntry;

template <class Entries>
bool sameEntries(const Entries& a, const Entries& b);

// Entries compare by name, whatever order the file keeps them in.
bool sameEntry(const StorageEntry& a, const StorageEntry& b)
{
    return a.name == b.name && a.isStorage == b.isStorage && a.bytes == b.bytes && a.classId == b.classId
        && sameEntries(a.children, b.children);
}

template <class Entries>
bool sameEntries(const Entries& a, const Entries& b)
{
    if (a.size() != b.size())
        return false;
    for (const StorageEntry& entry : a) {
        const auto match = std::find_if(b.begin(), b.end(), [&](const StorageEntry& other) { return other.name == entry.name; });
        if (match == b.end() || !sameEntry(entry, *match))
            return false;
    }
    return true;
}

bool sameProject(const kelvane::projectstorage::StoredProject& a, const kelvane::projectstorage::StoredProject& b)
{
    return a.found == b.found && a.name == b.name && a.modules == b.modules && sameEntries(a.carried.beside, b.carried.beside)
        && sameEntries(a.carried.inside, b.carried.inside) && sameEntries(a.carried.insideModules, b.carried.insideModules);
}

[[noreturn]] void fault(const char* what)
{
    std::fprintf(stderr, "fuzz_macrostorage: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    namespace storage = kelvane::projectstorage;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    StorageEntry file;
    try {
        file = platform::compoundfile::read(bytes);
    } catch (const kelvane::RuntimeError&) {
        return 0;
    }
    for (const bool document : {true, false}) {
        const storage::StoredProject first = storage::read(file, document);
        StorageEntry saved = StorageEntry::emptyRoot();
        try {
            storage::write(saved, first);
        } catch (const kelvane::RuntimeError&) {
            continue;
        }
        QByteArray written;
        try {
            written = platform::compoundfile::write(saved);
        } catch (const kelvane::RuntimeError& error) {
            std::fprintf(stderr, "%s\n", qPrintable(error.Description()));
            fault("what was read could not be written");
        }
        storage::StoredProject second;
        try {
            second = storage::read(platform::compoundfile::read(written), document);
        } catch (const kelvane::RuntimeError& error) {
            std::fprintf(stderr, "%s\n", qPrintable(error.Description()));
            fault("the file written does not open");
        }
        if (!sameProject(first, second))
            fault("the project read again differs from the one written");
    }
    return 0;
}
