#include "automation/HandedOutObjects.h"

#include "automation/DBusNames.h"

#include <vector>

namespace kelvane {

using platform::automation::DispatchObject;

QString HandedOutObjects::add(DispatchObject object, const QString& client)
{
    const quint64 number = m_next++;
    m_entries.emplace(number, Entry {std::move(object), client});
    return dbusnames::kObjectsPath + QStringLiteral("/n") + QString::number(number);
}

DispatchObject HandedOutObjects::find(const QString& element) const
{
    bool ok = false;
    const quint64 number = element.startsWith(u'n') ? element.mid(1).toULongLong(&ok) : 0;
    const auto it = ok ? m_entries.find(number) : m_entries.end();
    return it == m_entries.end() ? DispatchObject() : it->second.object;
}

void HandedOutObjects::releaseFor(const QString& client)
{
    // The objects go after the map has let go of them: a destructor may reach back here.
    std::vector<DispatchObject> released;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->second.client == client) {
            released.push_back(std::move(it->second.object));
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace kelvane
