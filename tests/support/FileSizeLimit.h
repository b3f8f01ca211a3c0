#pragma once

#include <csignal>
#include <sys/resource.h>

namespace kelvane::test {

// Caps the size of every file this process writes, as a disk that fills up would, for as
// long as it lives. SIGXFSZ is ignored meanwhile, so a write past the cap fails (short, or
// with EFBIG) instead of ending the process. Both are given back at the end.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &m_previousAction);
        getrlimit(RLIMIT_FSIZE, &m_previousLimit);
        rlimit limit = m_previousLimit;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previousLimit);
        sigaction(SIGXFSZ, &m_previousAction, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_previousLimit {};
    struct sigaction m_previousAction {};
};

} // namespace kelvane::test
