#pragma once

#include <unistd.h>
#include <utility>

namespace platform {

// An open file of the system, closed when it goes.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int value) : m_value(value) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor&& other) noexcept : m_value(std::exchange(other.m_value, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other)
            reset(std::exchange(other.m_value, -1));
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_value; }
    explicit operator bool() const { return m_value >= 0; }
    // Closes the file held and holds `value`; false when the close failed (a write it held back
    // failed then).
    bool reset(int value = -1)
    {
        const bool closed = m_value < 0 || ::close(m_value) == 0;
        m_value = value;
        return closed;
    }

private:
    int m_value = -1;
};

} // namespace platform
