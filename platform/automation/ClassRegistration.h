#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <optional>

namespace platform::automation {

// How a served class is entered in the registry, besides what its type library says.
struct ClassRegistration {
    QString className;                // the class in the type library
    QString displayName;              // empty: the class's help string, else its name
    QString progId;                   // the versioned ProgID ("Library.Class.1"), or the only one
    QString versionIndependentProgId; // empty when there is none
    QStringList otherProgIds;         // further ProgIDs whose current version is `progId`
    QString threadingModel = QStringLiteral("Apartment");
    QString version;                  // the class's "Version" key; empty: none
    std::optional<quint32> miscStatus; // the status of aspect 1 ("MiscStatus\1")
    int toolboxBitmap = 0;            // resource number of the toolbox picture; 0: none
    QStringList markerKeys;           // keys without values under the class: "Control", "Insertable", ...
    QList<QUuid> implementedCategories;
};

// Where the class's server lives: a library loaded into the caller's process, or a program.
enum class ServerKind { InProcess, LocalServer };

} // namespace platform::automation
