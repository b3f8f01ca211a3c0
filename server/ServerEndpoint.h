#pragma once

#include <QString>
#include <functional>

namespace kelvane {

// Where the knowledge server's messages go and how its certificate is trusted.
struct ServerEndpoint {
    // The server's address as the settings hold it at the moment of each request.
    std::function<QString()> URL;
    // The folder of the request file (the program's temporary folder).
    QString RequestFolder;
    // A PEM file of certificates or certification authorities to trust for this server besides
    // the system's (a server with a certificate of its own); empty: the system's only.
    QString TrustedCertificates;
};

} // namespace kelvane
