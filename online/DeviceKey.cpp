#include "DeviceKey.h"

#include "log/Log.h"
#include "platform/Folders.h"
#include "platform/System.h"

#include <cerrno>
#include <cstdio>

namespace {

const char kKeyFile[] = "ortelanka.key";
constexpr size_t kMostBytes = 1024;  // a PKCS #8 P-256 key is about 140

// The file's bytes; false when it is not there or cannot be read.
bool ReadKeyFile(const std::string& path, std::string* bytes)
{
    FILE* file = System::OpenRegularFile(path.c_str(), "rb");
    if (!file)
        return false;
    char buffer[kMostBytes + 1];
    const size_t got = std::fread(buffer, 1, sizeof buffer, file);
    const bool read = !std::ferror(file) && got <= kMostBytes;
    std::fclose(file);
    bytes->assign(buffer, read ? got : 0);
    return read;
}

bool Load(const std::string& path, DeviceKey* key)
{
    std::string bytes;
    const bool there = ReadKeyFile(path, &bytes);
    if (there && System::PublicKeyOf(bytes, &key->publicKey)) {
        key->privateKey = bytes;
        return true;
    }
    if (there || !System::FileMissing(path.c_str()))
        Log.Write("Hra po siti: klic zarizeni je poskozeny, vytvari se novy", 2);
    if (!System::NewSigningKey(&key->privateKey) || !System::PublicKeyOf(key->privateKey, &key->publicKey))
        return false;
    if (!System::ReplaceFile(path.c_str(), key->privateKey.data(), key->privateKey.size()))
        Log.Write("Hra po siti: klic zarizeni nelze ulozit", 2);  // it holds this game's seat all the same
    return true;
}

}  // namespace

bool LoadDeviceKey(DeviceKey* key)
{
    const std::string path = SettingsFolder() + kKeyFile;
    // Two copies that go online at once make one key between them.
    const bool locked = System::LockFile(path.c_str());
    const bool loaded = Load(path, key);
    if (locked)
        System::UnlockFile(path.c_str());
    return loaded;
}
