#include "https/CertificateHandles.h"

#include <map>
#include <mutex>

namespace kelvane::plexant::certificateHandles {

namespace {

struct Table {
    std::mutex lock;
    std::map<qint32, std::shared_ptr<const Certificate>> certificates;
    qint32 last = 0x1000;
};

// Handles are process-wide: a host may give one control's handle to another.
Table& table()
{
    static Table instance;
    return instance;
}

} // namespace

qint32 add(std::shared_ptr<const Certificate> certificate)
{
    if (!certificate)
        return 0;
    Table& t = table();
    const std::lock_guard guard(t.lock);
    const qint32 handle = ++t.last;
    t.certificates.emplace(handle, std::move(certificate));
    return handle;
}

std::shared_ptr<const Certificate> find(qint32 handle)
{
    Table& t = table();
    const std::lock_guard guard(t.lock);
    const auto it = t.certificates.find(handle);
    return it == t.certificates.end() ? nullptr : it->second;
}

void release(qint32 handle)
{
    Table& t = table();
    const std::lock_guard guard(t.lock);
    t.certificates.erase(handle);
}

} // namespace kelvane::plexant::certificateHandles
