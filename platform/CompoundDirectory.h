#pragma once

#include <QByteArray>
#include <QString>

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
// follows the same links without recursion, so a directory whose links loop, or whose trees
// would take libgsf deeper than its stack reaches, is found before libgsf reads it.
class CompoundDirectory {
public:
    // At most this many entries, the root included, in one file: room for a document of 32,000
    // networks (two streams each) and its macros. libgsf takes time that grows with the square of
    // a storage's entries to read or write them: at this many, seconds.
    static constexpr quint32 kMaxEntries = 65536;
    // Storages inside storages at most this deep below the root.
    static constexpr int kMaxNesting = 64;
    // The most entries of a storage libgsf reads as the file links them. A larger storage is
    // laid out again for it (layOutForLibrary): its tree may be any shape, as deep as it has
    // entries (earlier versions wrote the entries of a storage as one chain). So libgsf's
    // recursion stays within (kMaxNesting + 1) * (kLinkedAsStored + 1) calls.
    static constexpr std::size_t kLinkedAsStored = 64;

    // Reads the directory. Raises InvalidFileFormat when the file is no sound compound file:
    // a header, allocation table or directory that cannot be followed, a link that leads
    // outside the directory, an entry reached twice (the links loop, or two storages share it),
    // storages nested deeper than kMaxNesting or more than kMaxEntries entries.
    explicit CompoundDirectory(FileAccess file);

    // The most entries one storage holds.
    std::size_t largestStorage() const { return m_largestStorage; }

    // Writes the part of an entry at `offset` in the file.
    using Write = std::function<void(qint64 offset, const QByteArray& bytes)>;

    // Lays the entries of every storage out as a balanced red-black tree in the format's order
    // of names, as the file format asks, through `write`.
    void balance(const Write& write) const;

    // Lays the entries of every storage out as a balanced tree in which each entry comes
    // before its siblings below it in the reverse of the format's order. libgsf reads the
    // tree's entries in that order into a list it keeps in the format's order, finding each
    // one's place by looking from the list's start: taken largest first, each goes first at
    // once. Only for libgsf to read: it is no search tree, as the file format asks.
    void layOutForLibrary(const Write& write) const;

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
    enum class Layout { SearchTree, LargestFirst };

    qint64 sectorOffset(quint32 sector) const;
    void requireInFile(quint32 sector) const;
    QByteArray readSector(quint32 sector, qint64 from, qint64 length) const;
    std::vector<quint32> allocationSectors(const QByteArray& header) const;
    quint32 nextSector(const std::vector<quint32>& table, quint32 sector) const;
    void findDirectorySectors(const QByteArray& header);
    qint64 entryOffset(quint32 entry) const;
    void walk();
    void layOut(Layout layout, const Write& write) const;

    FileAccess m_file;
    int m_sectorShift = 0;
    std::vector<qint64> m_directorySectors; // where each sector of the directory lies
    quint32 m_entryCount = 0;               // entries the directory's sectors hold
    std::vector<Storage> m_storages;
    std::size_t m_largestStorage = 0;
};

} // namespace platform::compoundfile
