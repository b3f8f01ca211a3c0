#pragma once

#include <QByteArray>
#include <QString>

#include <bit>
#include <functional>
#include <vector>

namespace platform::compoundfile {

// Raises InvalidFileFormat saying what makes the file no sound compound file.
[[noreturn]] void raiseDamaged(const QString& what);

// Random access to the bytes of a compound file: `read` gives up to `length` bytes from
// `offset` (fewer where the file ends).
struct FileAccess {
    qint64 size = 0;
    std::function<QByteArray(qint64 offset, qint64 length)> read;
};

// The directory of a compound file, read straight from its bytes. Each storage keeps its
// entries in a binary tree of sibling links, which libgsf follows by recursion: the walk here
// follows the same links without recursion, so a directory whose links loop, or that would
// take libgsf deeper than its stack reaches, is found before libgsf reads it.
class CompoundDirectory {
public:
    // At most this many entries, the root included, in one file.
    static constexpr quint32 kMaxEntries = 65536;
    // Storages inside storages at most this deep below the root.
    static constexpr int kMaxNesting = 64;
    // The deepest a storage's sibling tree may be as it is stored: as deep as a red-black tree
    // of the most entries a file holds may be. A deeper one (earlier versions wrote the entries
    // of a storage as one chain) is laid out again before libgsf reads it, which then recurses
    // at most (kMaxNesting + 1) * (kMaxSiblingDepth + 1) deep.
    static constexpr int kMaxSiblingDepth = 2 * std::bit_width(kMaxEntries);

    // Reads the directory. Raises InvalidFileFormat when the file is no sound compound file:
    // a header, allocation table or directory that cannot be followed, a link that leads
    // outside the directory, an entry reached twice (the links loop, or two storages share it),
    // storages nested deeper than kMaxNesting or more than kMaxEntries entries.
    explicit CompoundDirectory(FileAccess file);

    // The depth of the deepest sibling tree.
    int deepestSiblingTree() const { return m_deepestSiblingTree; }

    // Lays the entries of every storage out as a balanced red-black tree in the format's order
    // of names, handing each changed part of an entry to `write` with its place in the file.
    void balance(const std::function<void(qint64 offset, const QByteArray& bytes)>& write) const;

    // The format's order of entry names: the shorter first, names of one length by their
    // UTF-16 code units in upper case.
    static bool precedes(const QString& a, const QString& b);

private:
    struct Child {
        quint32 entry;
        QString name;
    };
    struct Storage {
        quint32 entry;
        std::vector<Child> children;
    };

    qint64 sectorOffset(quint32 sector) const;
    void requireInFile(quint32 sector) const;
    QByteArray readSector(quint32 sector, qint64 from, qint64 length) const;
    std::vector<quint32> allocationSectors(const QByteArray& header) const;
    quint32 nextSector(const std::vector<quint32>& table, quint32 sector) const;
    void findDirectorySectors(const QByteArray& header);
    qint64 entryOffset(quint32 entry) const;
    void walk();

    FileAccess m_file;
    int m_sectorShift = 0;
    std::vector<qint64> m_directorySectors; // where each sector of the directory lies
    quint32 m_entryCount = 0;               // entries the directory's sectors hold
    std::vector<Storage> m_storages;
    int m_deepestSiblingTree = 0;
};

} // namespace platform::compoundfile
