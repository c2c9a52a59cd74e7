// What online play needs of Windows: the system's random bytes for a game's
// code, and the roots Windows trusts for the broker's certificate (its own
// ROOT store; SSL_CERT_FILE names another CA file, as it does for OpenSSL on
// every system). A desktop's notes say how online play stands.
#include "platform/System.h"

#include "Win32.h"

#include <bcrypt.h>
#include <cstdlib>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <wincrypt.h>

const char* const System::kDeviceKind = "windows";

bool System::RandomBytes(void* bytes, size_t count)
{
    return BCryptGenRandom(nullptr, static_cast<PUCHAR>(bytes), static_cast<ULONG>(count),
                           BCRYPT_USE_SYSTEM_PREFERRED_RNG) == 0;
}

bool System::TrustSystemRoots(void* tlsContext)
{
    SSL_CTX* context = static_cast<SSL_CTX*>(tlsContext);
    X509_STORE* trusted = SSL_CTX_get_cert_store(context);
    int roots = 0;
    const char* file = std::getenv("SSL_CERT_FILE");
    if (file && *file)
        roots += SSL_CTX_load_verify_locations(context, file, nullptr) == 1;
    const HCERTSTORE store = CertOpenSystemStoreW(0, L"ROOT");
    if (store) {
        PCCERT_CONTEXT certificate = nullptr;
        while ((certificate = CertEnumCertificatesInStore(store, certificate)) != nullptr) {
            const unsigned char* der = certificate->pbCertEncoded;
            if (X509* root = d2i_X509(nullptr, &der, static_cast<long>(certificate->cbCertEncoded))) {
                roots += X509_STORE_add_cert(trusted, root) == 1;
                X509_free(root);
            }
        }
        CertCloseStore(store, 0);
    }
    return roots > 0;
}

void System::ShowOnlineStage(const std::string&, int) {}

void System::ShowOpenGames(const std::string&) {}

// Windows starts online play from the command line (or a link that opens the game).
bool System::TakeOnlineRequest(std::string*)
{
    return false;
}
