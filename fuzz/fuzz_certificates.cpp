// Reads the input as a PEM file of certificates twice over: as a certificate store of the HTTPS
// control (every certificate, its names, found again by its subject) and as the file the
// setting "Tavro Certificate" names, whose certificates the knowledge server's certificate is
// checked against (each certificate of the input stands for the server's, for the host it
// names and for an address).
#include "FuzzSupport.h"

#include "https/CertificateStore.h"
#include "server/TrustedCertificates.h"
#include "shell/SettingValues.h"

namespace {

using kelvane::plexant::CertificateStore;
using kelvane::plexant::CertificateStoreFolders;

const QString kTrustedCertificates = QStringLiteral("Tavro Certificate");
constexpr std::size_t kMostCertificatesChecked = 3;

class ScratchStoreFolders : public CertificateStoreFolders {
public:
    QString userFolder() const override { return fuzz::scratchFolder() + QStringLiteral("/user"); }
    QString machineFolder() const override { return fuzz::scratchFolder() + QStringLiteral("/machine"); }
};

// The common name a subject text names ("CN=host, O=..."), else "localhost".
QString hostOf(const QByteArray& subject)
{
    for (const QByteArray& part : subject.split(',')) {
        const QByteArray trimmed = part.trimmed();
        if (trimmed.startsWith("CN="))
            return QString::fromUtf8(trimmed.mid(3));
    }
    return QStringLiteral("localhost");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietMessages();
    qputenv("XDG_CONFIG_HOME", (fuzz::scratchFolder() + QStringLiteral("/config")).toLocal8Bit());
    platform::Service<CertificateStoreFolders>::replace(std::make_unique<ScratchStoreFolders>());
    QDir().mkpath(fuzz::scratchFolder() + QStringLiteral("/user"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString file = fuzz::scratchFolder() + QStringLiteral("/user/MY.pem");
    fuzz::require(fuzz::writeFile(file, fuzz::bytesOf(data, size)), "the scratch folder takes no file");

    const auto store = CertificateStore::open(QStringLiteral("MY"));
    fuzz::require(store.has_value(), "a store file that is there does not open");
    for (const auto& certificate : store->certificates()) {
        const QByteArray subject = certificate->subject();
        certificate->issuer();
        fuzz::require(store->findBySubject(subject) != nullptr, "a certificate is not found by its own subject");
    }

    kelvane::settingvalues::writeText(kTrustedCertificates, file);
    const kelvane::TrustedCertificates trusted(kelvane::settingvalues::readText(kTrustedCertificates));
    std::size_t checked = 0;
    for (const auto& certificate : store->certificates()) {
        if (++checked > kMostCertificatesChecked)
            break;
        trusted.Trusts(*certificate, hostOf(certificate->subject()));
        trusted.Trusts(*certificate, QStringLiteral("127.0.0.1"));
    }
    return 0;
}
