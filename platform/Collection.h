#pragma once

#include "platform/RuntimeError.h"

#include <QHash>
#include <QString>
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace kelvane {

// The ordered collection of the object model: items in insertion order, reached by a
// 1-based position or by an optional key compared without regard to case.
// A duplicate key raises DuplicateKey (457); a bad position raises SubscriptOutOfRange (9);
// an unknown key raises InvalidProcedureCall (5).
template <class T>
class Collection {
public:
    using value_type = T;
    using iterator = typename std::vector<T>::iterator;
    using const_iterator = typename std::vector<T>::const_iterator;

    Collection() = default;
    Collection(const Collection& other)
        : m_items(other.m_items), m_keys(other.m_keys ? std::make_unique<Keys>(*other.m_keys) : nullptr)
    {
    }
    Collection(Collection&&) noexcept = default;
    Collection& operator=(const Collection& other)
    {
        if (this != &other)
            *this = Collection(other);
        return *this;
    }
    Collection& operator=(Collection&&) noexcept = default;
    ~Collection() = default;

    qsizetype Count() const { return static_cast<qsizetype>(m_items.size()); }

    // Makes room for `count` items in all, so that adding them up to there allocates nothing.
    void Reserve(qsizetype count) { m_items.reserve(static_cast<std::size_t>(std::max<qsizetype>(count, 0))); }
    bool isEmpty() const { return m_items.empty(); }

    // Appends an item; an empty key means "no key".
    void Add(T item, const QString& key = {}) { insertAt(Count(), std::move(item), key); }

    // Inserts an item before the 1-based position `before` (Count() + 1 appends).
    void AddBefore(qsizetype before, T item, const QString& key = {})
    {
        if (before < 1 || before > Count() + 1)
            raiseError(err::SubscriptOutOfRange);
        insertAt(before - 1, std::move(item), key);
    }

    T& Item(qsizetype position) { return m_items[checkedIndex(position)]; }
    const T& Item(qsizetype position) const { return m_items[checkedIndex(position)]; }
    T& Item(const QString& key) { return m_items[indexOfKeyOrRaise(key)]; }
    const T& Item(const QString& key) const { return m_items[indexOfKeyOrRaise(key)]; }

    bool Contains(const QString& key) const { return PositionOf(key) != 0; }

    // The 1-based position of the item with this key, 0 when there is none.
    qsizetype PositionOf(const QString& key) const
    {
        if (key.isEmpty() || !m_keys)
            return 0;
        const auto it = m_keys->byKey.constFind(fold(key));
        return it == m_keys->byKey.constEnd() ? 0 : *it + 1;
    }

    QString KeyAt(qsizetype position) const
    {
        const auto index = checkedIndex(position);
        return m_keys ? m_keys->ofItem[index] : QString();
    }

    void Remove(qsizetype position)
    {
        const auto index = checkedIndex(position);
        m_items.erase(m_items.begin() + index);
        if (m_keys) {
            m_keys->ofItem.erase(m_keys->ofItem.begin() + index);
            rebuildKeys();
        }
    }
    void Remove(const QString& key) { Remove(indexOfKeyOrRaise(key) + 1); }

    void Clear()
    {
        m_items.clear();
        m_keys.reset();
    }

    // The items as they are now, for walks during which the collection may change.
    std::vector<T> Snapshot() const { return m_items; }

    iterator begin() { return m_items.begin(); }
    iterator end() { return m_items.end(); }
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }

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
        if (Contains(key))
            raiseError(err::DuplicateKey);
        // The keys are kept only once an item has one: most collections never have any.
        if (!key.isEmpty() && !m_keys)
            m_keys = std::make_unique<Keys>(Keys {std::vector<QString>(m_items.size()), {}});
        m_items.insert(m_items.begin() + index, std::move(item));
        if (!m_keys)
            return;
        m_keys->ofItem.insert(m_keys->ofItem.begin() + index, key);
        if (index == Count() - 1) {
            if (!key.isEmpty())
                m_keys->byKey.insert(fold(key), index);
        } else {
            rebuildKeys();
        }
    }

    void rebuildKeys()
    {
        m_keys->byKey.clear();
        for (std::size_t i = 0; i < m_keys->ofItem.size(); ++i) {
            if (!m_keys->ofItem[i].isEmpty())
                m_keys->byKey.insert(fold(m_keys->ofItem[i]), static_cast<qsizetype>(i));
        }
    }

    struct Keys {
        std::vector<QString> ofItem;      // each item's key as given, "" for none
        QHash<QString, qsizetype> byKey;  // folded key -> 0-based index
    };

    std::vector<T> m_items;
    std::unique_ptr<Keys> m_keys; // none while no item has a key
};

} // namespace kelvane
