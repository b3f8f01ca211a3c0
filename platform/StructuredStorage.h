#pragma once

#include "platform/RootStorage.h"
#include "platform/Service.h"

namespace platform {

// The structured-storage control: opens the root storage of a compound file.
class StructuredStorage {
public:
    virtual ~StructuredStorage() = default;

    // The root storage of `fileName`; the whole file is read now. A missing file gives an
    // empty storage, created on Commit, unless `mode` is Read (FileNotFound, 53). A file
    // that is not a sound compound file raises InvalidFileFormat (321); one that cannot
    // be read raises PathFileAccess (75).
    virtual std::shared_ptr<RootStorage> OpenStorage(const QString& fileName, StorageMode mode) = 0;
};

template <>
struct ServiceDefault<StructuredStorage> {
    static std::unique_ptr<StructuredStorage> create(); // the compound-file implementation
};

inline StructuredStorage& structuredStorage() { return Service<StructuredStorage>::get(); }

} // namespace platform
