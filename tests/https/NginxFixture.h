#pragma once

#include "tests/https/NginxServer.h"
#include "tests/https/TestCertificates.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <gtest/gtest.h>
#include <memory>

namespace kelvane::test {

// One nginx and one set of certificates for a whole test suite; the test authority is the
// only one trusted (SSL_CERT_FILE and SSL_CERT_DIR point at it).
class NginxFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const QString folder = scratchFolder() + QStringLiteral("/certificates");
        QDir().mkpath(folder);
        certificates = std::make_unique<TestCertificates>(folder);
        qputenv("SSL_CERT_FILE", certificates->authority().toLocal8Bit());
        qputenv("SSL_CERT_DIR", folder.toLocal8Bit());
        server = std::make_unique<NginxServer>(*certificates);
        started = server->start();
    }
    static void TearDownTestSuite()
    {
        server.reset();
        certificates.reset();
    }
    void SetUp() override { ASSERT_TRUE(started) << server->log().toStdString(); }

    static QString logged(const QString& beginning) { return server->request(beginning); }

    static inline std::unique_ptr<TestCertificates> certificates;
    static inline std::unique_ptr<NginxServer> server;
    static inline bool started = false;
};

} // namespace kelvane::test
