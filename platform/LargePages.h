#pragma once

#include <cstddef>

namespace platform {

// Asks the system to back the whole large pages that [data, data + bytes) holds with large
// pages when it fills them: a buffer of hundreds of megabytes written from start to end then
// costs a few hundred page faults instead of tens of thousands. A hint only: the memory
// behaves the same whether or not it is taken, and smaller buffers are left as they are.
void preferLargePages(void* data, std::size_t bytes);

} // namespace platform
