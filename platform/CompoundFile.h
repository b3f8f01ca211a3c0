#pragma once

#include "platform/StorageEntry.h"

#include <QByteArray>
#include <QString>

// The OLE2 compound-file format, through libgsf: the bytes of a whole file to and from
// its entries held in memory.
namespace platform::compoundfile {

// The entries of a compound file. Bytes that are not a sound compound file (truncated,
// damaged, another kind of file, or more entries than a file may hold) raise InvalidFileFormat
// (321) saying what is wrong. The bytes are taken: handed over, they are read without a copy.
StorageEntry read(QByteArray bytes);

// True when the file begins with the compound-file signature. A file that does, and that
// read() refuses, is a damaged compound file rather than a file of another kind.
bool hasSignature(const QString& fileName);

// The bytes of a compound file holding `root`'s entries, each storage's entries in a balanced
// tree. Two entries of one storage whose names differ only in letter case, and more entries than
// a file may hold, raise PathFileAccess: no reader would accept the file.
QByteArray write(const StorageEntry& root);
// The same written into the open file `descriptor` from its start, as it is made: the file is
// never held whole in memory. A failed write raises PathFileAccess too.
void write(const StorageEntry& root, int descriptor);

} // namespace platform::compoundfile
