#pragma once

// Random bytes that repeat, for the TLS fuzz targets: OpenSSL draws every random byte of the
// thread from a fixed sequence that restarts with each run, so the client's side of a
// handshake (its hello, its key shares) is the same in every run. A seed can then hold a
// server's whole side of a handshake, made once for that client, and reach what the client
// does after the handshake.

#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/rand.h>

#include <cstdint>
#include <cstring>

namespace fuzz::fixedrandom {

inline thread_local std::uint64_t state = 0;

// splitmix64: a fixed, well-spread sequence.
inline std::uint64_t next()
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

inline int bytes(unsigned char* out, int count)
{
    for (int at = 0; at < count; at += 8) {
        const std::uint64_t value = next();
        std::memcpy(out + at, &value, std::size_t(count - at < 8 ? count - at : 8));
    }
    return 1;
}

inline int ready() { return 1; }

// From now on OpenSSL's random bytes come from the sequence.
inline void install()
{
    static const RAND_METHOD method {nullptr, &bytes, nullptr, nullptr, &bytes, &ready};
    RAND_set_rand_method(&method);
}

// The calling thread's sequence starts again from `seed`.
inline void restart(std::uint64_t seed = 0) { state = seed; }

} // namespace fuzz::fixedrandom
