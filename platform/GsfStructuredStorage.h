#pragma once

#include "platform/StructuredStorage.h"

namespace platform {

// Structured storage in real OLE2 compound files (through libgsf), so files made
// elsewhere open and other tools read ours. The whole file is read at open; Commit writes
// the new file beside the old one and renames it over.
class GsfStructuredStorage : public StructuredStorage {
public:
    std::shared_ptr<RootStorage> OpenStorage(const QString& fileName, StorageMode mode) override;
};

} // namespace platform
