#include "tests/https/TestCertificates.h"

#include "tests/https/CertificateMaking.h"

namespace kelvane::test {

TestCertificates::TestCertificates(const QString& folder)
    : m_folder(folder)
{
    const auto save = [this](const QString& name, X509* made, EVP_PKEY* madeKey) {
        writePem(certificate(name), {made});
        writePem(key(name), {}, madeKey);
    };
    KeyPtr authorityKey = newKey();
    CertificatePtr authority = makeCertificate({"Kelvane Test Authority", nullptr, -1, 60, true}, authorityKey.get(), nullptr, nullptr);
    save(QStringLiteral("ca"), authority.get(), authorityKey.get());

    const char* local = "DNS:localhost,IP:127.0.0.1";
    const struct {
        const char* name;
        CertificateTerms terms;
    } servers[] = {{"good", {"localhost", local}},
                   {"wrong", {"wrong.example", "DNS:wrong.example"}},
                   {"address", {"127.0.0.1", "IP:127.0.0.1"}},
                   {"expired", {"localhost", local, -20, -10}},
                   {"client", {"Kelvane Client", nullptr, -1, 30, false, true}}};
    for (const auto& server : servers) {
        KeyPtr key = newKey();
        CertificatePtr certificate = makeCertificate(server.terms, key.get(), authority.get(), authorityKey.get());
        save(QString::fromLatin1(server.name), certificate.get(), key.get());
    }
    // Signed by an authority that is nowhere trusted.
    KeyPtr strangerKey = newKey();
    CertificatePtr stranger = makeCertificate({"Stranger Authority", nullptr, -1, 60, true}, strangerKey.get(), nullptr, nullptr);
    KeyPtr key = newKey();
    CertificatePtr untrusted = makeCertificate({"localhost", local}, key.get(), stranger.get(), strangerKey.get());
    save(QStringLiteral("untrusted"), untrusted.get(), key.get());
}

QString TestCertificates::certificate(const QString& name) const { return m_folder + QLatin1Char('/') + name + QStringLiteral(".pem"); }

QString TestCertificates::key(const QString& name) const { return m_folder + QLatin1Char('/') + name + QStringLiteral(".key"); }

} // namespace kelvane::test
