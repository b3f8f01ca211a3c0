#include "tests/https/ChainCertificates.h"

#include "tests/https/CertificateMaking.h"

namespace kelvane::test {

ChainCertificates::ChainCertificates(const QString& folder)
    : m_folder(folder)
{
    CertificateTerms authority {"Kelvane Private Root"};
    authority.authority = true;
    authority.keyIdentifiers = true;
    CertificateTerms intermediate = authority;
    intermediate.commonName = "Kelvane Private Intermediate";
    CertificateTerms server {"localhost", "DNS:localhost,IP:127.0.0.1"};
    server.keyIdentifiers = true;

    const KeyPtr rootKey = newKey();
    const CertificatePtr rootCertificate = makeCertificate(authority, rootKey.get(), nullptr, nullptr);
    const KeyPtr intermediateKey = newKey();
    const CertificatePtr intermediateCertificate =
        makeCertificate(intermediate, intermediateKey.get(), rootCertificate.get(), rootKey.get());
    const KeyPtr serverKey = newKey();
    const CertificatePtr serverCertificate =
        makeCertificate(server, serverKey.get(), intermediateCertificate.get(), intermediateKey.get());
    writePem(root(), {rootCertificate.get()});
    writePem(chain(), {serverCertificate.get(), intermediateCertificate.get()});
    writePem(key(), {}, serverKey.get());
}

} // namespace kelvane::test
