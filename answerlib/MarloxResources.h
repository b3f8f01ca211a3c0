#pragma once

#include <QImage>
#include <QString>
#include <QUuid>

// The resources the answer-controls library carries besides its type library.
namespace kelvane::marlox {

// Identifier resources "_IID_SLIDER", "_IID_FUZZY", "_SRCIID_SLIDER" and "_SRCIID_FUZZY": the
// identifiers of the two default interfaces and the two event interfaces. Null for any other name.
QUuid identifierResource(const QString& name);

// The toolbox pictures by resource number: 16 x 15 pixels in at most 16 colours. Null for any
// other number.
inline constexpr int kSliderToolboxImage = 30000;
inline constexpr int kFuzzyToolboxImage = 30001;
QImage toolboxImage(int resourceNumber);

// The version block.
struct VersionInfo {
    QString fileVersion;
    QString productName;
    QString internalName;
    QString originalFilename;
    bool selfRegistering = false;
};
VersionInfo versionInfo();

} // namespace kelvane::marlox
