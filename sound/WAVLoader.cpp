#include "WAVLoader.h"

#include "platform/Files.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

uint32_t Le32(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// The whole file; its size bounds every allocation that follows.
bool ReadFile(const char* fileName, std::vector<uint8_t>* contents)
{
    FILE* file = OpenGameFile(fileName, "rb");
    if (!file)
        return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        contents->resize(static_cast<size_t>(size));
        ok = size == 0 || std::fread(contents->data(), static_cast<size_t>(size), 1, file) == 1;
    }
    std::fclose(file);
    return ok;
}

}  // namespace

CWAVLoader::~CWAVLoader()
{
    Destroy();
}

void CWAVLoader::Destroy()
{
    delete format;
    delete[] data;
    format = nullptr;
    data = nullptr;
    length = 0;
}

int CWAVLoader::Load(const char* fileName)
{
    Destroy();
    std::vector<uint8_t> file;
    if (!ReadFile(fileName, &file) || file.size() < 12)
        return 0;
    // Chunks follow the 12-byte header back to back; a chunk of odd size is
    // followed by a pad byte. A chunk that claims more than the file holds
    // ends the load as a failure.
    size_t at = 12;
    while (file.size() - at >= 8) {
        const uint8_t* header = file.data() + at;
        const uint32_t size = Le32(header + 4);
        at += 8;
        if (size > file.size() - at)
            break;
        const uint8_t* body = file.data() + at;
        if (std::memcmp(header, "fmt ", 4) == 0) {
            uint8_t raw[18] = {};
            std::memcpy(raw, body, size < sizeof raw ? size : sizeof raw);
            delete format;
            format = new WAVEFORMATEX{Le16(raw), Le16(raw + 2), Le32(raw + 4), Le32(raw + 8),
                                      Le16(raw + 12), Le16(raw + 14), Le16(raw + 16)};
        } else if (std::memcmp(header, "data", 4) == 0) {
            data = new uint8_t[size ? size : 1];
            std::memcpy(data, body, size);
            length = size;
            return 1;
        }
        at += size + (size & 1);
        if (at > file.size())
            break;
    }
    Destroy();
    return 0;
}
