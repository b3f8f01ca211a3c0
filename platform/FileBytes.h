#pragma once

#include "platform/RegularFileReader.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace platform {

// The whole content of the file `path` (stored data's form; opened in the host's form). Only a
// regular file is read: a device, a pipe or a socket is refused without waiting on it. Raises
// FileNotFound (53) for a missing file and PathFileAccess (75) for one that cannot be read, that
// is no regular file or that holds more than kMaxFileBytes, each naming the file.
QByteArray readFileBytes(const QString& path);

// The whole content of the file as readFileBytes reads it, or nothing where it would raise: for
// a file whose absence or refusal only means there is nothing to use.
std::optional<QByteArray> tryReadFileBytes(const QString& path);

} // namespace platform
