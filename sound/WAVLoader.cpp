#include "WAVLoader.h"

#include "platform/Files.h"
#include "platform/LittleEndian.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

long FileSize(FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long size = std::ftell(file);
    return std::fseek(file, 0, SEEK_SET) == 0 ? size : -1;
}

}  // namespace

CWAVLoader::~CWAVLoader()
{
    Destroy();
}

void CWAVLoader::Destroy()
{
    delete format;
    format = nullptr;
    std::vector<uint8_t>().swap(data);
    length = 0;
}

std::vector<uint8_t> CWAVLoader::TakeData()
{
    std::vector<uint8_t> taken;
    taken.swap(data);
    length = 0;
    return taken;
}

// Chunks follow the 12-byte header back to back; a chunk of odd size is
// followed by a pad byte. Only the headers and the format are read on the
// way; the samples are read once, straight into their place. A chunk that
// claims more than the file holds ends the load as a failure.
int CWAVLoader::Load(const char* fileName)
{
    Destroy();
    FILE* file = OpenGameFile(fileName, "rb");
    if (!file)
        return 0;
    const long size = FileSize(file);
    long at = 12;
    bool loaded = false;
    if (size > kLargestFile)
        errno = EFBIG;
    else if (size >= at && std::fseek(file, at, SEEK_SET) == 0) {
        uint8_t header[8];
        while (!loaded && size - at >= 8 && std::fread(header, 8, 1, file) == 1) {
            const uint32_t chunk = ReadLe32(header + 4);
            at += 8;
            if (chunk > static_cast<unsigned long>(size - at))
                break;
            if (std::memcmp(header, "fmt ", 4) == 0) {
                uint8_t raw[18] = {};
                if (std::fread(raw, chunk < sizeof raw ? chunk : sizeof raw, 1, file) != 1 && chunk > 0)
                    break;
                delete format;
                format = new WAVEFORMATEX{ReadLe16(raw), ReadLe16(raw + 2), ReadLe32(raw + 4), ReadLe32(raw + 8),
                                          ReadLe16(raw + 12), ReadLe16(raw + 14), ReadLe16(raw + 16)};
            } else if (std::memcmp(header, "data", 4) == 0) {
                data.resize(chunk);
                loaded = chunk == 0 || std::fread(data.data(), chunk, 1, file) == 1;
                length = chunk;
                break;
            }
            at += chunk + (chunk & 1);
            if (at > size || std::fseek(file, at, SEEK_SET) != 0)
                break;
        }
    }
    std::fclose(file);
    if (!loaded)
        Destroy();
    return loaded ? 1 : 0;
}
