#pragma once

#include <QString>
#include <QStringView>
#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

namespace kelvane {

class Node;

// The GUIDs of the nodes a reader keeps, each naming the reading position of the first node
// entered with it. One thread enters GUIDs while others look GUIDs up: an entry is found whole
// or not at all. Room is made only while nobody looks up, and must be made before entering.
class ReadGUIDTable {
public:
    // `nodes` are the nodes kept, in reading order; the table reads their GUIDs. Their storage
    // must not move while lookups run.
    explicit ReadGUIDTable(const std::vector<std::shared_ptr<Node>>& nodes);

    // Makes room for `count` GUIDs in all; only while no lookup runs.
    void makeRoom(std::size_t count);

    // Enters the GUID of the node at `position` (already kept); false when a node entered
    // before has that GUID (the node is then not entered). Room must have been made for it.
    bool enter(std::size_t position);

    // The reading position of the node entered with that GUID, or -1.
    qsizetype find(QStringView guid) const;

private:
    static std::size_t hashOf(QStringView guid);
    // The slot holding `guid`, or the empty slot where it would go.
    std::size_t slotOf(QStringView guid, std::size_t hash) const;
    // The position an entry holds, or -1 for an empty slot.
    static qsizetype positionIn(quint64 entry);

    const std::vector<std::shared_ptr<Node>>& m_nodes;
    // Each entry packs the upper half of its GUID's hash and its position + 1 (0: empty).
    std::unique_ptr<std::atomic<quint64>[]> m_entries;
    std::size_t m_mask = 0; // slots - 1, the slots a power of two
    std::vector<std::size_t> m_hashes; // of each position's GUID, for making room
};

} // namespace kelvane
