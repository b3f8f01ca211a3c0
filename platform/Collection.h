#pragma once

#include "platform/RuntimeError.h"

#include <QHash>
#include <QString>
#include <algorithm>
#include <optional>
#include <vector>

namespace kelvane {

// The ordered collection of the object model: items in insertion order, reached by a
// 1-based position or by an optional key compared without regard to case.
// A duplicate key raises DuplicateKey (457); a bad position raises SubscriptOutOfRange (9);
// an unknown key raises InvalidProcedureCall (5).
template <class T>
class Collection {
    struct Entry {
        T value;
        QString key; // as given; empty when the item has no key
    };

public:
    using value_type = T;

    class iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = T*;
        using reference = T&;

        iterator() = default;
        explicit iterator(typename std::vector<Entry>::iterator it) : m_it(it) {}
        T& operator*() const { return m_it->value; }
        T* operator->() const { return &m_it->value; }
        iterator& operator++() { ++m_it; return *this; }
        iterator operator++(int) { auto copy = *this; ++m_it; return copy; }
        bool operator==(const iterator& other) const = default;

    private:
        typename std::vector<Entry>::iterator m_it;
    };

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = const T&;

        const_iterator() = default;
        explicit const_iterator(typename std::vector<Entry>::const_iterator it) : m_it(it) {}
        const T& operator*() const { return m_it->value; }
        const T* operator->() const { return &m_it->value; }
        const_iterator& operator++() { ++m_it; return *this; }
        const_iterator operator++(int) { auto copy = *this; ++m_it; return copy; }
        bool operator==(const const_iterator& other) const = default;

    private:
        typename std::vector<Entry>::const_iterator m_it;
    };

    qsizetype Count() const { return static_cast<qsizetype>(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }

    // Appends an item; an empty key means "no key".
    void Add(T item, const QString& key = {}) { insertAt(Count(), std::move(item), key); }

    // Inserts an item before the 1-based position `before` (Count() + 1 appends).
    void AddBefore(qsizetype before, T item, const QString& key = {})
    {
        if (before < 1 || before > Count() + 1)
            raiseError(err::SubscriptOutOfRange);
        insertAt(before - 1, std::move(item), key);
    }

    T& Item(qsizetype position) { return m_entries[checkedIndex(position)].value; }
    const T& Item(qsizetype position) const { return m_entries[checkedIndex(position)].value; }
    T& Item(const QString& key) { return m_entries[indexOfKeyOrRaise(key)].value; }
    const T& Item(const QString& key) const { return m_entries[indexOfKeyOrRaise(key)].value; }

    bool Contains(const QString& key) const { return !key.isEmpty() && m_keys.contains(fold(key)); }

    // The 1-based position of the item with this key, 0 when there is none.
    qsizetype PositionOf(const QString& key) const
    {
        if (key.isEmpty())
            return 0;
        const auto it = m_keys.constFind(fold(key));
        return it == m_keys.constEnd() ? 0 : *it + 1;
    }

    QString KeyAt(qsizetype position) const { return m_entries[checkedIndex(position)].key; }

    void Remove(qsizetype position)
    {
        const auto index = checkedIndex(position);
        m_entries.erase(m_entries.begin() + index);
        rebuildKeys();
    }
    void Remove(const QString& key) { Remove(indexOfKeyOrRaise(key) + 1); }

    void Clear()
    {
        m_entries.clear();
        m_keys.clear();
    }

    // The items as they are now, for walks during which the collection may change.
    std::vector<T> Snapshot() const
    {
        std::vector<T> items;
        items.reserve(m_entries.size());
        for (const auto& entry : m_entries)
            items.push_back(entry.value);
        return items;
    }

    iterator begin() { return iterator(m_entries.begin()); }
    iterator end() { return iterator(m_entries.end()); }
    const_iterator begin() const { return const_iterator(m_entries.begin()); }
    const_iterator end() const { return const_iterator(m_entries.end()); }

private:
    static QString fold(const QString& key) { return key.toCaseFolded(); }

    std::size_t checkedIndex(qsizetype position) const
    {
        if (position < 1 || position > Count())
            raiseError(err::SubscriptOutOfRange);
        return static_cast<std::size_t>(position - 1);
    }

    std::size_t indexOfKeyOrRaise(const QString& key) const
    {
        const qsizetype position = PositionOf(key);
        if (position == 0)
            raiseError(err::InvalidProcedureCall);
        return static_cast<std::size_t>(position - 1);
    }

    void insertAt(qsizetype index, T item, const QString& key)
    {
        if (!key.isEmpty() && m_keys.contains(fold(key)))
            raiseError(err::DuplicateKey);
        m_entries.insert(m_entries.begin() + index, Entry {std::move(item), key});
        if (index == Count() - 1) {
            if (!key.isEmpty())
                m_keys.insert(fold(key), index);
        } else {
            rebuildKeys();
        }
    }

    void rebuildKeys()
    {
        m_keys.clear();
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            if (!m_entries[i].key.isEmpty())
                m_keys.insert(fold(m_entries[i].key), static_cast<qsizetype>(i));
        }
    }

    std::vector<Entry> m_entries;
    QHash<QString, qsizetype> m_keys; // folded key -> 0-based index
};

} // namespace kelvane
