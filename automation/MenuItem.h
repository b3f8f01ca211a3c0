#pragma once

#include <QObject>
#include <QString>

namespace kelvane {

// One entry of the Tools or Reports menu that the macro project defines (in the knowledge
// base's MenuItems or ReportMenuItems); a click on it raises MenuClick with the item. cName and
// Name are one caption; writing Name rebuilds both menus, writing cName does not.
class MenuItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString cName READ cName WRITE setcName)
    Q_PROPERTY(QString Name READ Name WRITE setName)

public:
    static constexpr const char* kClassName = "MenuItem";

    QString cName() const { return m_name; }
    void setcName(const QString& name) { m_name = name; }
    QString Name() const { return m_name; }
    void setName(const QString& name);

private:
    QString m_name;
};

} // namespace kelvane
