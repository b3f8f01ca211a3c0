#pragma once

#include <QString>

namespace platform {

// A path as stored data writes it ("..\kb\a.qkb", with either separator) in the host's form,
// for the places that open a file.
QString hostPath(const QString& path);

} // namespace platform
