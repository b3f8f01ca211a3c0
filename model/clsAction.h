#pragma once

#include "platform/Variant.h"

#include <QString>
#include <QtGlobal>

namespace kelvane {

// One entry of the diagram's undo history. The objects are held as object references
// (Variant::fromObject): the edited object and a copy of it from before the edit.
struct clsAction {
    qint16 action = 0;
    Variant Object;
    Variant OriginalObject;
    QString NetworkGUID;
    qint16 ObjectType = 0;
};

} // namespace kelvane
