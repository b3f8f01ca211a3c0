#pragma once

namespace platform {

// Access modes of the structured storage, with the numbers callers hand over:
// 16 reads; 17 writes (and creates a stream); 18 reads and writes. A writing mode
// may also read, so a writer can measure a stream before clearing it.
enum class StorageMode { Read = 16, Write = 17, ReadWrite = 18 };

inline constexpr bool allowsWriting(StorageMode mode) { return mode != StorageMode::Read; }

} // namespace platform
