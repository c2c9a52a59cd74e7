// The keys and signatures of online play on a desktop, through the OpenSSL
// that its broker's TLS links already. The formats are WebCrypto's (raw
// points, r and s side by side), so that a page and a desktop read each
// other's keys and signatures.
#include "platform/System.h"

#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>
#include <openssl/x509.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr size_t kPublicKeyBytes = 65;
constexpr size_t kHalfSignatureBytes = 32;

struct Free {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    void operator()(EVP_PKEY_CTX* context) const { EVP_PKEY_CTX_free(context); }
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
    void operator()(ECDSA_SIG* signature) const { ECDSA_SIG_free(signature); }
    void operator()(PKCS8_PRIV_KEY_INFO* info) const { PKCS8_PRIV_KEY_INFO_free(info); }
    void operator()(OSSL_PARAM_BLD* builder) const { OSSL_PARAM_BLD_free(builder); }
    void operator()(OSSL_PARAM* params) const { OSSL_PARAM_free(params); }
};
template <class T>
using Owned = std::unique_ptr<T, Free>;

const unsigned char* Bytes(const std::string& text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

bool IsP256(const EVP_PKEY* key)
{
    char group[32];
    return EVP_PKEY_get_base_id(key) == EVP_PKEY_EC &&
           EVP_PKEY_get_utf8_string_param(key, OSSL_PKEY_PARAM_GROUP_NAME, group, sizeof group, nullptr) == 1 &&
           std::string(group) == SN_X9_62_prime256v1;
}

Owned<EVP_PKEY> ReadPrivateKey(const std::string& der)
{
    const unsigned char* at = Bytes(der);
    Owned<EVP_PKEY> key(d2i_AutoPrivateKey(nullptr, &at, static_cast<long>(der.size())));
    if (!key || at != Bytes(der) + der.size() || !IsP256(key.get()))
        return nullptr;
    return key;
}

Owned<EVP_PKEY> ReadPublicKey(const std::string& point)
{
    if (point.size() != kPublicKeyBytes || point[0] != 4)
        return nullptr;
    Owned<OSSL_PARAM_BLD> builder(OSSL_PARAM_BLD_new());
    if (!builder ||
        !OSSL_PARAM_BLD_push_utf8_string(builder.get(), OSSL_PKEY_PARAM_GROUP_NAME, SN_X9_62_prime256v1, 0) ||
        !OSSL_PARAM_BLD_push_octet_string(builder.get(), OSSL_PKEY_PARAM_PUB_KEY, point.data(), point.size()))
        return nullptr;
    Owned<OSSL_PARAM> params(OSSL_PARAM_BLD_to_param(builder.get()));
    Owned<EVP_PKEY_CTX> context(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
    EVP_PKEY* key = nullptr;
    if (!params || !context || EVP_PKEY_fromdata_init(context.get()) != 1 ||
        EVP_PKEY_fromdata(context.get(), &key, EVP_PKEY_PUBLIC_KEY, params.get()) != 1)
        return nullptr;
    Owned<EVP_PKEY> owned(key);
    // fromdata takes any octets: the point must be on the curve.
    Owned<EVP_PKEY_CTX> check(EVP_PKEY_CTX_new(key, nullptr));
    if (!check || EVP_PKEY_public_check(check.get()) != 1)
        return nullptr;
    return owned;
}

// OpenSSL 3 takes about a millisecond to read a key, and a game signs with
// one key and checks two: the last few keys read stay at hand.
class Keys {
public:
    explicit Keys(Owned<EVP_PKEY> (*read)(const std::string&)) : read(read) {}
    EVP_PKEY* Of(const std::string& bytes)
    {
        for (auto& [held, key] : keys)
            if (held == bytes)
                return key.get();
        Owned<EVP_PKEY> key = read(bytes);
        if (!key)
            return nullptr;
        if (keys.size() >= kMostKeys)
            keys.erase(keys.begin());
        keys.emplace_back(bytes, std::move(key));
        return keys.back().second.get();
    }

private:
    static constexpr size_t kMostKeys = 4;
    Owned<EVP_PKEY> (*read)(const std::string&);
    std::vector<std::pair<std::string, Owned<EVP_PKEY>>> keys;
};

EVP_PKEY* PrivateKey(const std::string& der)
{
    static Keys keys(ReadPrivateKey);
    return keys.Of(der);
}

EVP_PKEY* PublicKey(const std::string& point)
{
    static Keys keys(ReadPublicKey);
    return keys.Of(point);
}

}  // namespace

bool System::NewSigningKey(std::string* privateKey)
{
    Owned<EVP_PKEY> key(EVP_EC_gen(SN_X9_62_prime256v1));
    if (!key)
        return false;
    Owned<PKCS8_PRIV_KEY_INFO> info(EVP_PKEY2PKCS8(key.get()));
    unsigned char* der = nullptr;
    const int size = info ? i2d_PKCS8_PRIV_KEY_INFO(info.get(), &der) : -1;
    if (size <= 0)
        return false;
    privateKey->assign(reinterpret_cast<char*>(der), static_cast<size_t>(size));
    OPENSSL_free(der);
    return true;
}

bool System::PublicKeyOf(const std::string& privateKey, std::string* publicKey)
{
    EVP_PKEY* key = PrivateKey(privateKey);
    unsigned char point[kPublicKeyBytes];
    size_t size = 0;
    if (!key || EVP_PKEY_get_octet_string_param(key, OSSL_PKEY_PARAM_ENCODED_PUBLIC_KEY, point, sizeof point,
                                                &size) != 1 ||
        size != kPublicKeyBytes || point[0] != 4)
        return false;
    publicKey->assign(reinterpret_cast<char*>(point), size);
    return true;
}

bool System::Sign(const std::string& privateKey, const std::string& text, std::string* signature)
{
    EVP_PKEY* key = PrivateKey(privateKey);
    Owned<EVP_MD_CTX> context(EVP_MD_CTX_new());
    unsigned char der[80];
    size_t size = sizeof der;
    if (!key || !context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key) != 1 ||
        EVP_DigestSign(context.get(), der, &size, Bytes(text), text.size()) != 1)
        return false;
    const unsigned char* at = der;
    Owned<ECDSA_SIG> parts(d2i_ECDSA_SIG(nullptr, &at, static_cast<long>(size)));
    unsigned char raw[2 * kHalfSignatureBytes];
    if (!parts || BN_bn2binpad(ECDSA_SIG_get0_r(parts.get()), raw, kHalfSignatureBytes) < 0 ||
        BN_bn2binpad(ECDSA_SIG_get0_s(parts.get()), raw + kHalfSignatureBytes, kHalfSignatureBytes) < 0)
        return false;
    signature->assign(reinterpret_cast<char*>(raw), sizeof raw);
    return true;
}

bool System::Verify(const std::string& publicKey, const std::string& text, const std::string& signature)
{
    if (signature.size() != 2 * kHalfSignatureBytes)
        return false;
    EVP_PKEY* key = PublicKey(publicKey);
    Owned<ECDSA_SIG> parts(ECDSA_SIG_new());
    BIGNUM* r = BN_bin2bn(Bytes(signature), kHalfSignatureBytes, nullptr);
    BIGNUM* s = BN_bin2bn(Bytes(signature) + kHalfSignatureBytes, kHalfSignatureBytes, nullptr);
    if (!key || !parts || !r || !s || ECDSA_SIG_set0(parts.get(), r, s) != 1) {
        BN_free(r);
        BN_free(s);
        return false;
    }
    unsigned char* der = nullptr;
    const int size = i2d_ECDSA_SIG(parts.get(), &der);
    Owned<EVP_MD_CTX> context(EVP_MD_CTX_new());
    const bool valid = size > 0 && context &&
                       EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key) == 1 &&
                       EVP_DigestVerify(context.get(), der, static_cast<size_t>(size), Bytes(text), text.size()) == 1;
    OPENSSL_free(der);
    return valid;
}

std::string System::Sha256(const std::string& bytes)
{
    unsigned char digest[32];
    unsigned int size = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(), nullptr) != 1)
        return {};
    return std::string(reinterpret_cast<char*>(digest), size);
}
