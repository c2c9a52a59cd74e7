// The keys and signatures of online play in a page: the browser's WebCrypto,
// whose promises the game waits for (ASYNCIFY). Its formats are those the
// desktops write too: PKCS #8, raw points, r and s side by side.
#include "platform/System.h"

#include <emscripten.h>

namespace {

// Each answer is written to `out` (at most `room` bytes); its length, or -1.
EM_ASYNC_JS(int, PageNewSigningKey, (unsigned char* out, int room), {
    try {
        const pair = await crypto.subtle.generateKey({ name: 'ECDSA', namedCurve: 'P-256' }, true, ['sign']);
        const der = new Uint8Array(await crypto.subtle.exportKey('pkcs8', pair.privateKey));
        if (der.length > room)
            return -1;
        HEAPU8.set(der, out);
        return der.length;
    } catch (error) {
        return -1;
    }
});

EM_ASYNC_JS(int, PagePublicKeyOf, (const unsigned char* key, int size, unsigned char* out), {
    try {
        const der = HEAPU8.slice(key, key + size);
        const jwk = await crypto.subtle.exportKey('jwk', await crypto.subtle.importKey(
            'pkcs8', der, { name: 'ECDSA', namedCurve: 'P-256' }, true, ['sign']));
        const bytes = text => Uint8Array.from(atob(text.replace(/-/g, '+').replace(/_/g, '/')), c => c.charCodeAt(0));
        const x = bytes(jwk.x), y = bytes(jwk.y);
        if (x.length != 32 || y.length != 32)
            return -1;
        HEAPU8[out] = 4;
        HEAPU8.set(x, out + 1);
        HEAPU8.set(y, out + 33);
        return 65;
    } catch (error) {
        return -1;
    }
});

EM_ASYNC_JS(int, PageSign, (const unsigned char* key, int keySize, const unsigned char* text, int textSize,
                            unsigned char* out), {
    try {
        const der = HEAPU8.slice(key, key + keySize);
        const privateKey = await crypto.subtle.importKey('pkcs8', der, { name: 'ECDSA', namedCurve: 'P-256' }, false,
                                                         ['sign']);
        const signature = new Uint8Array(await crypto.subtle.sign({ name: 'ECDSA', hash: 'SHA-256' }, privateKey,
                                                                  HEAPU8.slice(text, text + textSize)));
        if (signature.length != 64)
            return -1;
        HEAPU8.set(signature, out);
        return 64;
    } catch (error) {
        return -1;
    }
});

EM_ASYNC_JS(int, PageVerify, (const unsigned char* key, const unsigned char* text, int textSize,
                              const unsigned char* signature), {
    try {
        const publicKey = await crypto.subtle.importKey('raw', HEAPU8.slice(key, key + 65),
                                                        { name: 'ECDSA', namedCurve: 'P-256' }, false, ['verify']);
        return await crypto.subtle.verify({ name: 'ECDSA', hash: 'SHA-256' }, publicKey,
                                          HEAPU8.slice(signature, signature + 64),
                                          HEAPU8.slice(text, text + textSize)) ? 1 : 0;
    } catch (error) {
        return 0;
    }
});

EM_ASYNC_JS(int, PageSha256, (const unsigned char* bytes, int size, unsigned char* out), {
    try {
        HEAPU8.set(new Uint8Array(await crypto.subtle.digest('SHA-256', HEAPU8.slice(bytes, bytes + size))), out);
        return 32;
    } catch (error) {
        return -1;
    }
});

const unsigned char* Bytes(const std::string& text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

int Size(const std::string& text)
{
    return static_cast<int>(text.size());
}

// The answer's bytes, as far as it has them.
bool Answer(std::string* into, unsigned char* out, int length)
{
    if (length < 0)
        return false;
    into->assign(reinterpret_cast<char*>(out), static_cast<size_t>(length));
    return true;
}

}  // namespace

bool System::NewSigningKey(std::string* privateKey)
{
    unsigned char der[512];
    return Answer(privateKey, der, PageNewSigningKey(der, sizeof der));
}

bool System::PublicKeyOf(const std::string& privateKey, std::string* publicKey)
{
    unsigned char point[65];
    return privateKey.size() < 4096 && Answer(publicKey, point, PagePublicKeyOf(Bytes(privateKey), Size(privateKey), point));
}

bool System::Sign(const std::string& privateKey, const std::string& text, std::string* signature)
{
    unsigned char raw[64];
    return privateKey.size() < 4096 &&
           Answer(signature, raw, PageSign(Bytes(privateKey), Size(privateKey), Bytes(text), Size(text), raw));
}

bool System::Verify(const std::string& publicKey, const std::string& text, const std::string& signature)
{
    return publicKey.size() == 65 && signature.size() == 64 &&
           PageVerify(Bytes(publicKey), Bytes(text), Size(text), Bytes(signature)) == 1;
}

std::string System::Sha256(const std::string& bytes)
{
    unsigned char digest[32];
    std::string text;
    Answer(&text, digest, PageSha256(Bytes(bytes), Size(bytes), digest));
    return text;
}
