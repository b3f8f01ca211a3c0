#pragma once

#include <QByteArray>

namespace kelvane::plexant {

// The Basic credentials of a user and password: the Base64 of "user:password" (standard
// alphabet, "=" padding, no line breaks), without the "Basic " scheme.
inline QByteArray basicCredentials(const QByteArray& user, const QByteArray& password)
{
    return (user + ':' + password).toBase64();
}

// "Basic " and the credentials; empty when both user and password are empty.
inline QByteArray basicAuthorization(const QByteArray& user, const QByteArray& password)
{
    if (user.isEmpty() && password.isEmpty())
        return {};
    return "Basic " + basicCredentials(user, password);
}

} // namespace kelvane::plexant
