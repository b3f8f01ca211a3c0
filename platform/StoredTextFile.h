#pragma once

#include <QString>

namespace platform::encoding {

// The text of a stored file, as decodeStored(readFileBytes(path)) gives it (UTF-8 without a
// byte-order mark when the bytes are valid UTF-8, else Windows-1252), with the same checks
// and errors; the UTF-8 bytes are decoded as they are read, never held whole beside the text.
QString readStoredTextFile(const QString& path);

} // namespace platform::encoding
