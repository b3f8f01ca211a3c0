#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <functional>

namespace platform {

// The largest file read whole into memory: well above any real knowledge base, far below what
// a device that never ends (or a file made to exhaust memory) would take.
inline constexpr qint64 kMaxFileBytes = qint64(1) << 30;

// The whole content of the file `path` (stored data's form; opened in the host's form). Only a
// regular file is read: a device, a pipe or a socket is refused without waiting on it. Raises
// FileNotFound (53) for a missing file and PathFileAccess (75) for one that cannot be read, that
// is no regular file or that holds more than kMaxFileBytes, each naming the file.
QByteArray readFileBytes(const QString& path);

// The same content handed to `take` a slice at a time (each slice is valid during the call
// only), after `announce` (when given) was told the size the file gave when it was opened.
// The same checks and errors; a file is never held whole.
void readFileSlices(const QString& path, const std::function<void(QByteArrayView)>& take,
                    const std::function<void(qint64)>& announce = {});

} // namespace platform
