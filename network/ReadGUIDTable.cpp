#include "network/ReadGUIDTable.h"

#include "model/Node.h"

#include <QHashFunctions>
#include <algorithm>
#include <bit>

namespace kelvane {

namespace {

constexpr std::size_t kFewestSlots = 1024;
constexpr int kTagShift = 32;

quint64 entryOf(std::size_t hash, std::size_t position)
{
    return (quint64(hash) >> kTagShift << kTagShift) | quint64(position + 1);
}

bool sameTag(quint64 entry, std::size_t hash)
{
    return entry >> kTagShift == quint64(hash) >> kTagShift;
}

} // namespace

ReadGUIDTable::ReadGUIDTable(const std::vector<std::shared_ptr<Node>>& nodes) : m_nodes(nodes) {}

std::size_t ReadGUIDTable::hashOf(QStringView guid)
{
    // The process's own seed: a document cannot choose GUIDs that all land together.
    return qHash(guid, QHashSeed::globalSeed());
}

qsizetype ReadGUIDTable::positionIn(quint64 entry)
{
    return qsizetype(entry & 0xFFFFFFFFu) - 1;
}

void ReadGUIDTable::makeRoom(std::size_t count)
{
    // At most half the slots are taken, so that a search soon meets an empty one.
    const std::size_t slots = m_entries ? m_mask + 1 : 0;
    if (2 * count <= slots)
        return;
    const std::size_t grown = std::bit_ceil(std::max({kFewestSlots, 2 * count, 2 * slots}));
    auto entries = std::make_unique<std::atomic<quint64>[]>(grown);
    const std::size_t mask = grown - 1;
    for (std::size_t slot = 0; slot < slots; ++slot) {
        const quint64 entry = m_entries[slot].load(std::memory_order_relaxed);
        if (entry == 0)
            continue;
        const std::size_t hash = m_hashes[std::size_t(positionIn(entry))];
        std::size_t at = hash & mask;
        while (entries[at].load(std::memory_order_relaxed) != 0)
            at = (at + 1) & mask;
        entries[at].store(entry, std::memory_order_relaxed);
    }
    m_entries = std::move(entries);
    m_mask = mask;
}

std::size_t ReadGUIDTable::slotOf(QStringView guid, std::size_t hash) const
{
    for (std::size_t at = hash & m_mask;; at = (at + 1) & m_mask) {
        // An entry is stored after its node was kept: the node's GUID is read whole.
        const quint64 entry = m_entries[at].load(std::memory_order_acquire);
        if (entry == 0 || (sameTag(entry, hash) && m_nodes.data()[positionIn(entry)]->GUID == guid))
            return at;
    }
}

bool ReadGUIDTable::enter(std::size_t position)
{
    const QString& guid = m_nodes[position]->GUID;
    const std::size_t hash = hashOf(guid);
    if (m_hashes.size() <= position)
        m_hashes.resize(position + 1);
    m_hashes[position] = hash;
    const std::size_t at = slotOf(guid, hash);
    if (m_entries[at].load(std::memory_order_relaxed) != 0)
        return false;
    m_entries[at].store(entryOf(hash, position), std::memory_order_release);
    return true;
}

qsizetype ReadGUIDTable::find(QStringView guid) const
{
    if (!m_entries)
        return -1;
    return positionIn(m_entries[slotOf(guid, hashOf(guid))].load(std::memory_order_acquire));
}

} // namespace kelvane
