#include "platform/StorageChildren.h"

#include "platform/StorageEntry.h"

namespace platform {

StorageChildren::StorageChildren(std::vector<StorageEntry> entries) : m_entries(std::move(entries))
{
    for (qsizetype i = 0; i < qsizetype(m_entries.size()); ++i)
        index(i);
}

StorageChildren::StorageChildren(const StorageChildren&) = default;
StorageChildren::StorageChildren(StorageChildren&&) noexcept = default;
StorageChildren& StorageChildren::operator=(const StorageChildren&) = default;
StorageChildren& StorageChildren::operator=(StorageChildren&&) noexcept = default;
StorageChildren::~StorageChildren() = default;

StorageChildren::const_iterator StorageChildren::begin() const { return m_entries.begin(); }
StorageChildren::const_iterator StorageChildren::end() const { return m_entries.end(); }
std::size_t StorageChildren::size() const { return m_entries.size(); }
bool StorageChildren::empty() const { return m_entries.empty(); }
const StorageEntry& StorageChildren::operator[](std::size_t i) const { return m_entries[i]; }
const StorageEntry& StorageChildren::at(std::size_t i) const { return m_entries.at(i); }
const StorageEntry& StorageChildren::front() const { return m_entries.front(); }
StorageEntry& StorageChildren::back() { return m_entries.back(); }
const StorageEntry& StorageChildren::back() const { return m_entries.back(); }

void StorageChildren::push_back(StorageEntry entry)
{
    m_entries.push_back(std::move(entry));
    index(qsizetype(m_entries.size()) - 1);
}

void StorageChildren::eraseIf(const std::function<bool(const StorageEntry&)>& remove)
{
    if (std::erase_if(m_entries, remove) == 0)
        return;
    m_positions.clear();
    for (qsizetype i = 0; i < qsizetype(m_entries.size()); ++i)
        index(i);
}

StorageEntry* StorageChildren::find(const QString& name)
{
    return const_cast<StorageEntry*>(std::as_const(*this).find(name));
}

const StorageEntry* StorageChildren::find(const QString& name) const
{
    const auto found = m_positions.constFind(name.toCaseFolded());
    if (found == m_positions.cend())
        return nullptr;
    ++m_entriesVisited;
    const StorageEntry& entry = m_entries[std::size_t(*found)];
    Q_ASSERT(entry.name.compare(name, Qt::CaseInsensitive) == 0); // names stay as they were put in
    return &entry;
}

void StorageChildren::index(qsizetype position)
{
    QString key = m_entries[std::size_t(position)].name.toCaseFolded();
    if (!m_positions.contains(key))
        m_positions.insert(std::move(key), position);
}

} // namespace platform
