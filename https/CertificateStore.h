#pragma once

#include "https/Certificate.h"
#include "platform/Service.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace kelvane::plexant {

// Where the certificate stores live: one PEM file per store, "<name>.pem", holding
// certificates, each followed (or preceded) by its private key. The user's stores lie in
// the user's configuration folder, the machine's in the system configuration folder.
class CertificateStoreFolders {
public:
    virtual ~CertificateStoreFolders() = default;
    virtual QString userFolder() const;
    virtual QString machineFolder() const;
};

// The certificates of one store, with the keys that belong to them.
class CertificateStore {
public:
    // "LOCAL_MACHINE\MY" opens the machine's store MY, any other name the user's store of
    // that name; nothing when there is no such store.
    static std::optional<CertificateStore> open(const QString& name);
    explicit CertificateStore(std::vector<std::shared_ptr<const Certificate>> certificates);

    // The first certificate whose subject is the text (compared as X.500 names), else whose
    // subject text contains it (without regard to case); null when none has.
    std::shared_ptr<const Certificate> findBySubject(const QByteArray& subject) const;

    const std::vector<std::shared_ptr<const Certificate>>& certificates() const { return m_certificates; }

private:
    std::vector<std::shared_ptr<const Certificate>> m_certificates;
};

} // namespace kelvane::plexant

namespace platform {

template <>
struct ServiceDefault<kelvane::plexant::CertificateStoreFolders> {
    static std::unique_ptr<kelvane::plexant::CertificateStoreFolders> create()
    {
        return std::make_unique<kelvane::plexant::CertificateStoreFolders>();
    }
};

} // namespace platform
