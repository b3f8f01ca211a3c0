#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The whole content of the file `path` (stored data's form; opened in the host's form). Raises
// FileNotFound (53) for a missing file and PathFileAccess (75) for one that cannot be read,
// each naming the file.
QByteArray readFileBytes(const QString& path);

} // namespace platform
