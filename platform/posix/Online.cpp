// What online play needs of a POSIX desktop: the kernel's random bytes for a
// game's code, and the roots the system trusts (Debian's ca-certificates;
// SSL_CERT_FILE and SSL_CERT_DIR name others, as for every OpenSSL program).
#include "platform/System.h"

#include <cerrno>
#include <openssl/ssl.h>
#include <sys/random.h>

const char* const System::kDeviceKind = "linux";

bool System::RandomBytes(void* bytes, size_t count)
{
    auto* at = static_cast<unsigned char*>(bytes);
    while (count > 0) {
        const ssize_t got = getrandom(at, count, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        at += got;
        count -= static_cast<size_t>(got);
    }
    return true;
}

bool System::TrustSystemRoots(void* tlsContext)
{
    return SSL_CTX_set_default_verify_paths(static_cast<SSL_CTX*>(tlsContext)) == 1;
}

// A desktop's notes on the picture say how online play stands.
void System::ShowOnlineStage(const std::string&, int) {}

void System::ShowOpenGames(const std::string&) {}

// A desktop starts online play from its command line.
bool System::TakeOnlineRequest(std::string*)
{
    return false;
}
