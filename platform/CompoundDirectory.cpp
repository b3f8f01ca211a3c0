#include "platform/CompoundDirectory.h"

#include "platform/RuntimeError.h"

#include <QtEndian>

#include <algorithm>
#include <bit>

namespace err = kelvane::err;

namespace platform::compoundfile {

void raiseDamaged(const QString& what)
{
    kelvane::raiseError(err::InvalidFileFormat, QStringLiteral("Not a sound compound file: %1").arg(what));
}

namespace {

constexpr qint64 kHeaderSize = 512;
constexpr qint64 kEntrySize = 128;
constexpr quint32 kNoEntry = 0xFFFFFFFF;    // no sibling, no child; an allocation-table sector not in use
constexpr quint32 kEndOfChain = 0xFFFFFFFE; // the last sector of a chain
constexpr quint32 kHeaderTableSectors = 109;

constexpr quint8 kStorageType = 1;
constexpr quint8 kStreamType = 2;
constexpr quint8 kRootType = 5;

// Where the fields of a directory entry lie.
constexpr qsizetype kNameLengthAt = 0x40;
constexpr qsizetype kTypeAt = 0x42;
constexpr qsizetype kColourAt = 0x43;
constexpr qsizetype kLeftAt = 0x44;
constexpr qsizetype kRightAt = 0x48;
constexpr qsizetype kChildAt = 0x4C;
constexpr char kRed = 0;
constexpr char kBlack = 1;

quint32 u32At(const QByteArray& bytes, qsizetype at) { return qFromLittleEndian<quint32>(bytes.constData() + at); }

QString nameOf(const QByteArray& entry)
{
    const qsizetype units = std::clamp<qsizetype>(qFromLittleEndian<quint16>(entry.constData() + kNameLengthAt) / 2 - 1, 0, 31);
    QString name(units, Qt::Uninitialized);
    for (qsizetype i = 0; i < units; ++i)
        name[i] = QChar(qFromLittleEndian<quint16>(entry.constData() + 2 * i));
    return name;
}

// The part of an entry that places it in its storage's sibling tree.
QByteArray siblingLinks(char colour, quint32 left, quint32 right)
{
    QByteArray bytes(9, Qt::Uninitialized);
    bytes[0] = colour;
    qToLittleEndian<quint32>(left, bytes.data() + 1);
    qToLittleEndian<quint32>(right, bytes.data() + 5);
    return bytes;
}

} // namespace

bool CompoundDirectory::precedes(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return a.size() < b.size();
    for (qsizetype i = 0; i < a.size(); ++i) {
        const QChar x = a[i].isSurrogate() ? a[i] : a[i].toUpper();
        const QChar y = b[i].isSurrogate() ? b[i] : b[i].toUpper();
        if (x != y)
            return x < y;
    }
    return false;
}

CompoundDirectory::CompoundDirectory(FileAccess file) : m_file(std::move(file))
{
    static const QByteArray signature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    const QByteArray header = m_file.read(0, kHeaderSize);
    if (header.size() < kHeaderSize || !header.startsWith(signature))
        raiseDamaged(QStringLiteral("no compound-file header"));
    m_sectorShift = qFromLittleEndian<quint16>(header.constData() + 0x1E);
    // A sector holds whole directory entries; libgsf takes no sector of 2 GB or more.
    if (m_sectorShift < 7 || m_sectorShift > 30)
        raiseDamaged(QStringLiteral("sectors of 2^%1 bytes").arg(m_sectorShift));
    findDirectorySectors(header);
    walk();
}

qint64 CompoundDirectory::sectorOffset(quint32 sector) const
{
    // The header fills the first sector, whatever its size, as libgsf reads it.
    return std::max(kHeaderSize, qint64(1) << m_sectorShift) + (qint64(sector) << m_sectorShift);
}

void CompoundDirectory::requireInFile(quint32 sector) const
{
    if (sectorOffset(sector) + (qint64(1) << m_sectorShift) > m_file.size)
        raiseDamaged(QStringLiteral("sector %1 lies beyond the end of the file").arg(sector));
}

// `length` bytes from `from` within the sector, which lies whole in the file.
QByteArray CompoundDirectory::readSector(quint32 sector, qint64 from, qint64 length) const
{
    requireInFile(sector);
    QByteArray bytes = m_file.read(sectorOffset(sector) + from, length);
    if (bytes.size() != length)
        raiseDamaged(QStringLiteral("sector %1 cannot be read").arg(sector));
    return bytes;
}

// The sectors of the allocation table, listed by the header and the chain of sectors that
// continues its list; a table sector listed as not in use marks its sectors as not in use.
std::vector<quint32> CompoundDirectory::allocationSectors(const QByteArray& header) const
{
    const quint32 count = u32At(header, 0x2C);
    const qint64 fileSectors = m_file.size >> m_sectorShift;
    if (count == 0 || count >= fileSectors)
        raiseDamaged(QStringLiteral("an allocation table of %1 sectors").arg(count));
    std::vector<quint32> sectors;
    sectors.reserve(count);
    for (quint32 i = 0; i < std::min(count, kHeaderTableSectors); ++i)
        sectors.push_back(u32At(header, 0x4C + 4 * i));
    const quint32 perSector = quint32(1) << (m_sectorShift - 2);
    quint32 next = u32At(header, 0x44);
    for (quint32 listed = u32At(header, 0x48); sectors.size() < count && listed > 0; --listed) {
        const QByteArray list = readSector(next, 0, qint64(perSector) * 4);
        for (quint32 i = 0; i + 1 < perSector && sectors.size() < count; ++i)
            sectors.push_back(u32At(list, 4 * i));
        next = u32At(list, 4 * (perSector - 1));
    }
    if (sectors.size() < count)
        raiseDamaged(QStringLiteral("the allocation table lists %1 of its %2 sectors").arg(sectors.size()).arg(count));
    return sectors;
}

// The sector after `sector` in its chain; kNoEntry where the table has none.
quint32 CompoundDirectory::nextSector(const std::vector<quint32>& table, quint32 sector) const
{
    const quint32 perSector = quint32(1) << (m_sectorShift - 2);
    const quint32 tableSector = table[sector / perSector];
    if (tableSector == kNoEntry)
        return kNoEntry;
    return u32At(readSector(tableSector, 4 * qint64(sector % perSector), 4), 0);
}

void CompoundDirectory::findDirectorySectors(const QByteArray& header)
{
    const std::vector<quint32> table = allocationSectors(header);
    const quint64 tableEntries = quint64(table.size()) << (m_sectorShift - 2);
    const qint64 fileSectors = m_file.size >> m_sectorShift;
    quint32 sector = u32At(header, 0x30);
    while (sector < tableEntries) {
        if (qint64(m_directorySectors.size()) >= fileSectors)
            raiseDamaged(QStringLiteral("the directory's sectors form a loop"));
        requireInFile(sector);
        m_directorySectors.push_back(sectorOffset(sector));
        sector = nextSector(table, sector);
    }
    if (sector != kEndOfChain || m_directorySectors.empty())
        raiseDamaged(QStringLiteral("the directory's chain of sectors is broken"));
    m_entryCount = quint32(std::min<qint64>(qint64(m_directorySectors.size()) << (m_sectorShift - 7), kNoEntry));
}

qint64 CompoundDirectory::entryOffset(quint32 entry) const
{
    const qint64 at = qint64(entry) * kEntrySize;
    return m_directorySectors[std::size_t(at >> m_sectorShift)] + (at & ((qint64(1) << m_sectorShift) - 1));
}

// Follows every link from the root entry, depth first with a stack of its own.
void CompoundDirectory::walk()
{
    const QByteArray root = m_file.read(entryOffset(0), kEntrySize);
    if (root.size() != kEntrySize || quint8(root[kTypeAt]) != kRootType)
        raiseDamaged(QStringLiteral("the directory has no root entry"));
    // libgsf loses entries beside the root entry (they have no parent to hold them).
    if (u32At(root, kLeftAt) != kNoEntry || u32At(root, kRightAt) != kNoEntry)
        raiseDamaged(QStringLiteral("the root entry of the directory has siblings"));

    struct Pending {
        quint32 entry;
        std::size_t storage; // in m_storages
        int nesting;         // storages above the entry, the root not counted
    };
    std::vector<bool> reached(m_entryCount);
    reached[0] = true;
    quint32 count = 1;
    m_storages.push_back({0, {}});
    std::vector<Pending> pending {{u32At(root, kChildAt), 0, 0}};
    while (!pending.empty()) {
        const Pending link = pending.back();
        pending.pop_back();
        if (link.entry == kNoEntry)
            continue;
        if (link.entry >= m_entryCount)
            raiseDamaged(QStringLiteral("an entry links to entry %1, beyond the directory").arg(link.entry));
        if (reached[link.entry])
            raiseDamaged(QStringLiteral("entry %1 is linked twice").arg(link.entry));
        reached[link.entry] = true;
        if (++count > kMaxEntries)
            raiseDamaged(QStringLiteral("more than %1 entries").arg(kMaxEntries));
        if (link.nesting > kMaxNesting)
            raiseDamaged(QStringLiteral("storages nested too deeply"));

        const QByteArray entry = m_file.read(entryOffset(link.entry), kEntrySize);
        if (entry.size() != kEntrySize)
            raiseDamaged(QStringLiteral("entry %1 cannot be read").arg(link.entry));
        const quint8 type = quint8(entry[kTypeAt]);
        if (type != kStorageType && type != kStreamType && type != kRootType)
            raiseDamaged(QStringLiteral("entry %1 is of unknown type %2").arg(link.entry).arg(type));
        std::vector<Child>& siblings = m_storages[link.storage].children;
        siblings.push_back({link.entry, nameOf(entry)});
        m_largestStorage = std::max(m_largestStorage, siblings.size());
        pending.push_back({u32At(entry, kLeftAt), link.storage, link.nesting});
        pending.push_back({u32At(entry, kRightAt), link.storage, link.nesting});
        const quint32 child = u32At(entry, kChildAt);
        if (type == kStreamType) {
            if (child != kNoEntry)
                raiseDamaged(QStringLiteral("stream entry %1 has entries below it").arg(link.entry));
        } else {
            m_storages.push_back({link.entry, {}});
            pending.push_back({child, m_storages.size() - 1, link.nesting + 1});
        }
    }
}

void CompoundDirectory::balance(const Write& write) const { layOut(Layout::SearchTree, write); }

void CompoundDirectory::layOutForLibrary(const Write& write) const { layOut(Layout::LargestFirst, write); }

void CompoundDirectory::layOut(Layout layout, const Write& write) const
{
    for (const Storage& storage : m_storages) {
        std::vector<Child> children = storage.children;
        std::sort(children.begin(), children.end(), [](const Child& a, const Child& b) {
            return precedes(a.name, b.name) || (!precedes(b.name, a.name) && a.entry < b.entry);
        });
        // Each range's middle is the root of the range's tree, so the tree is as deep as its
        // width allows. The entries on its deepest level are red, the others black: every path
        // down passes as many black entries.
        const int deepestLevel = std::bit_width(children.size()) - 1;
        std::size_t largestTaken = 0;
        const auto place = [&](const auto& self, std::size_t from, std::size_t to, int level) -> quint32 {
            if (from == to)
                return kNoEntry;
            const std::size_t middle = from + (to - from) / 2;
            const quint32 entry = layout == Layout::SearchTree ? children[middle].entry
                                                               : children[children.size() - ++largestTaken].entry;
            const quint32 left = self(self, from, middle, level + 1);
            const quint32 right = self(self, middle + 1, to, level + 1);
            const char colour = level == deepestLevel && level > 0 ? kRed : kBlack;
            write(entryOffset(entry) + kColourAt, siblingLinks(colour, left, right));
            return entry;
        };
        QByteArray root(4, Qt::Uninitialized);
        qToLittleEndian<quint32>(place(place, 0, children.size(), 0), root.data());
        write(entryOffset(storage.entry) + kChildAt, root);
    }
}

} // namespace platform::compoundfile
