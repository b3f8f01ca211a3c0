#pragma once

#include "https/Certificate.h"

#include <QtGlobal>
#include <memory>

// Certificates handed to hosts as numbers, as the old certificate contexts were: a server's
// certificate while its verdict is asked, a selected client certificate while a control
// holds it. A handle stays valid until it is released; 0 is no certificate.
namespace kelvane::plexant::certificateHandles {

qint32 add(std::shared_ptr<const Certificate> certificate);
// Null for a handle that is not (or no longer) valid.
std::shared_ptr<const Certificate> find(qint32 handle);
void release(qint32 handle);

} // namespace kelvane::plexant::certificateHandles
