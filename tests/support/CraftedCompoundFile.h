#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <vector>

// Compound files made byte by byte, for directory shapes no writer makes: sibling links in
// long chains or loops, entries linked from two places, storages nested deeply. Sectors are
// 512 bytes and every stream is empty, so a file is its header, allocation table, the table's
// own index when it outgrows the header, and the directory.
namespace kelvane::test::crafted {

inline constexpr quint32 kNoEntry = 0xFFFFFFFF;
inline constexpr quint8 kStorage = 1;
inline constexpr quint8 kStream = 2;
inline constexpr quint8 kRoot = 5;

struct Entry {
    QString name;
    quint8 type = kStream;
    quint32 left = kNoEntry;
    quint32 right = kNoEntry;
    quint32 child = kNoEntry;
};

// A root entry holding `count` streams "S0", "S1", ... linked one after the other through
// their right siblings, as a writer that chains the entries of a storage lays them out.
inline std::vector<Entry> chainedStreams(quint32 count)
{
    std::vector<Entry> entries {{QStringLiteral("Root Entry"), kRoot, kNoEntry, kNoEntry, count ? 1u : kNoEntry}};
    for (quint32 i = 1; i <= count; ++i)
        entries.push_back({QStringLiteral("S%1").arg(i - 1), kStream, kNoEntry, i < count ? i + 1 : kNoEntry});
    return entries;
}

// A macro project's file as earlier versions wrote one: the root holds "Macros", which holds
// "Project" and "Modules", which holds `count` modules "Module0", "Module1", ... in one chain.
inline std::vector<Entry> chainedModules(quint32 count)
{
    std::vector<Entry> entries {{QStringLiteral("Root Entry"), kRoot, kNoEntry, kNoEntry, 1},
                                {QStringLiteral("Macros"), kStorage, kNoEntry, kNoEntry, 2},
                                {QStringLiteral("Project"), kStream, kNoEntry, 3},
                                {QStringLiteral("Modules"), kStorage, kNoEntry, kNoEntry, count ? 4u : kNoEntry}};
    for (quint32 i = 0; i < count; ++i)
        entries.push_back({QStringLiteral("Module%1").arg(i), kStream, kNoEntry, i + 1 < count ? i + 5 : kNoEntry});
    return entries;
}

// The file of `entries`; the first is the root entry.
inline QByteArray compoundFile(const std::vector<Entry>& entries)
{
    constexpr qsizetype kSector = 512;
    constexpr quint32 kPerSector = kSector / 4;
    constexpr quint32 kHeaderIndex = 109;
    constexpr quint32 kEndOfChain = 0xFFFFFFFE;
    const quint32 directorySectors = quint32((entries.size() * 128 + kSector - 1) / kSector);
    // The table covers itself, its index and the directory; grow it until it does.
    quint32 tableSectors = 1;
    quint32 indexSectors = 0;
    for (;;) {
        indexSectors = tableSectors > kHeaderIndex ? (tableSectors - kHeaderIndex + kPerSector - 2) / (kPerSector - 1) : 0;
        const quint32 needed = (tableSectors + indexSectors + directorySectors + kPerSector - 1) / kPerSector;
        if (needed <= tableSectors)
            break;
        tableSectors = needed;
    }
    const quint32 firstIndex = tableSectors;
    const quint32 firstDirectory = tableSectors + indexSectors;
    const quint32 sectors = firstDirectory + directorySectors;

    QByteArray file((sectors + 1) * kSector, '\0');
    const auto put32 = [&](qsizetype at, quint32 value) { qToLittleEndian<quint32>(value, file.data() + at); };
    const auto sectorAt = [](quint32 sector) { return qsizetype(sector + 1) * kSector; };

    file.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
    qToLittleEndian<quint16>(0x3E, file.data() + 0x18);
    qToLittleEndian<quint16>(3, file.data() + 0x1A);
    qToLittleEndian<quint16>(0xFFFE, file.data() + 0x1C);
    qToLittleEndian<quint16>(9, file.data() + 0x1E);
    qToLittleEndian<quint16>(6, file.data() + 0x20);
    put32(0x2C, tableSectors);
    put32(0x30, firstDirectory);
    put32(0x38, 4096);
    put32(0x3C, kEndOfChain);
    put32(0x44, indexSectors ? firstIndex : kEndOfChain);
    put32(0x48, indexSectors);
    for (quint32 i = 0; i < kHeaderIndex; ++i)
        put32(0x4C + 4 * i, i < tableSectors ? i : kNoEntry);
    for (quint32 i = kHeaderIndex; i < tableSectors; ++i) {
        const quint32 slot = i - kHeaderIndex;
        put32(sectorAt(firstIndex + slot / (kPerSector - 1)) + 4 * (slot % (kPerSector - 1)), i);
    }
    for (quint32 s = 0; s < indexSectors; ++s) {
        const qsizetype at = sectorAt(firstIndex + s);
        for (quint32 slot = 0; slot < kPerSector - 1; ++slot) {
            if (kHeaderIndex + s * (kPerSector - 1) + slot >= tableSectors)
                put32(at + 4 * slot, kNoEntry);
        }
        put32(at + 4 * (kPerSector - 1), s + 1 < indexSectors ? firstIndex + s + 1 : kEndOfChain);
    }

    const auto tableEntry = [&](quint32 sector) { return sectorAt(sector / kPerSector) + 4 * (sector % kPerSector); };
    for (quint32 sector = 0; sector < tableSectors * kPerSector; ++sector) {
        quint32 value = kNoEntry;
        if (sector < tableSectors)
            value = 0xFFFFFFFD;
        else if (sector < firstDirectory)
            value = 0xFFFFFFFC;
        else if (sector < sectors)
            value = sector + 1 < sectors ? sector + 1 : kEndOfChain;
        put32(tableEntry(sector), value);
    }

    for (quint32 i = 0; i < directorySectors * (kSector / 128); ++i) {
        const qsizetype at = sectorAt(firstDirectory) + qsizetype(i) * 128;
        put32(at + 0x44, kNoEntry);
        put32(at + 0x48, kNoEntry);
        put32(at + 0x4C, kNoEntry);
        if (i >= entries.size())
            continue;
        const Entry& entry = entries[i];
        const QString name = entry.name.left(31);
        for (qsizetype c = 0; c < name.size(); ++c)
            qToLittleEndian<quint16>(name[c].unicode(), file.data() + at + 2 * c);
        qToLittleEndian<quint16>(quint16(2 * (name.size() + 1)), file.data() + at + 0x40);
        file[at + 0x42] = char(entry.type);
        file[at + 0x43] = 1; // black
        put32(at + 0x44, entry.left);
        put32(at + 0x48, entry.right);
        put32(at + 0x4C, entry.child);
        put32(at + 0x74, kEndOfChain);
    }
    return file;
}

} // namespace kelvane::test::crafted
