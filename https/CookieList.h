#pragma once

#include <QByteArray>
#include <QList>
#include <utility>

namespace kelvane::plexant {

// The cookies a request sends: name and value pairs in the order they were added. Indexes
// are 1-based.
class CookieList {
public:
    int count() const { return int(m_pairs.size()); }
    // Cuts the list to `count` pairs, or adds pairs of empty name and value.
    void setCount(int count);
    void add(const QByteArray& name, const QByteArray& value) { m_pairs.append(std::pair(name, value)); }
    bool validIndex(int index) const { return index >= 1 && index <= count(); }
    const QByteArray& name(int index) const { return m_pairs.at(index - 1).first; }
    const QByteArray& value(int index) const { return m_pairs.at(index - 1).second; }
    void setName(int index, const QByteArray& name) { m_pairs[index - 1].first = name; }
    void setValue(int index, const QByteArray& value) { m_pairs[index - 1].second = value; }
    void clear() { m_pairs.clear(); }
    // "a=1; b=2"
    QByteArray headerValue() const;

private:
    QList<std::pair<QByteArray, QByteArray>> m_pairs;
};

} // namespace kelvane::plexant
