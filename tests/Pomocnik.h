// Shared test helpers: every test works in a temporary directory of its own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

class VDocasnemAdresari : public ::testing::Test {
protected:
    // Where the temporary directory is made.
    virtual std::filesystem::path Zaklad() { return std::filesystem::temp_directory_path(); }
    void SetUp() override
    {
        puvodni = std::filesystem::current_path();
        // A new folder of a name nobody has used.
        std::random_device nahoda;
        for (int pokus = 0; pokus < 100 && adresar.empty(); ++pokus) {
            const std::filesystem::path zkusit = Zaklad() / ("ortelanka-" + std::to_string(nahoda()));
            if (std::filesystem::create_directory(zkusit))
                adresar = zkusit;
        }
        ASSERT_FALSE(adresar.empty());
        std::filesystem::current_path(adresar);
    }
    void TearDown() override
    {
        std::filesystem::current_path(puvodni);
        std::filesystem::remove_all(adresar);
    }

    std::filesystem::path puvodni;
    std::filesystem::path adresar;
};

inline std::vector<uint8_t> CtiSoubor(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void ZapisSoubor(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// x in n bytes, least significant first, as every file of the game holds its numbers.
inline void PridejLE(std::vector<uint8_t>& v, uint32_t x, int n = 4)
{
    for (int i = 0; i < n; ++i)
        v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

// data/tahy.dat's bytes: one record of four for each cell number.
inline std::vector<uint8_t> Zaznamy(std::initializer_list<uint32_t> cells)
{
    std::vector<uint8_t> bytes;
    for (uint32_t c : cells)
        PridejLE(bytes, c);
    return bytes;
}

// best.dat's bytes: for each row the score, then the name in a field of 20.
inline std::vector<uint8_t> BestDat(const std::vector<std::pair<int32_t, std::string>>& rows)
{
    std::vector<uint8_t> bytes;
    for (const auto& [score, name] : rows) {
        PridejLE(bytes, static_cast<uint32_t>(score));
        bytes.insert(bytes.end(), name.begin(), name.end());
        bytes.resize(bytes.size() + 20 - name.size(), 0);
    }
    return bytes;
}

// The ten rows of a new best-players table.
using Radky = std::vector<std::pair<int32_t, std::string>>;

inline Radky Vychozi()
{
    Radky rows;
    for (int i = 0; i < 10; ++i)
        rows.emplace_back(99900 - 200 * i, "Beze Jmena");
    return rows;
}

// A WAVE file of the given chunks, each padded to an even length.
inline std::vector<uint8_t> Wav(const std::vector<std::pair<const char*, std::vector<uint8_t>>>& chunks)
{
    std::vector<uint8_t> v = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const auto& [id, body] : chunks) {
        v.insert(v.end(), id, id + 4);
        PridejLE(v, static_cast<uint32_t>(body.size()));
        v.insert(v.end(), body.begin(), body.end());
        if (body.size() % 2)
            v.push_back(0);
    }
    return v;
}

// The 16 bytes of a format chunk: PCM unless another tag is given.
inline std::vector<uint8_t> WavFormat(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t tag = 1)
{
    std::vector<uint8_t> f;
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    for (auto [x, n] : {std::pair<uint32_t, int>{tag, 2}, {channels, 2}, {rate, 4}, {rate * align, 4}, {align, 2}, {bits, 2}})
        PridejLE(f, x, n);
    return f;
}

inline std::string CtiText(const std::string& path)
{
    const std::vector<uint8_t> bytes = CtiSoubor(path);
    return std::string(bytes.begin(), bytes.end());
}

// A 24-bit bitmap file whose pixels come from a function of (x, y) giving 0xRRGGBB.
template <typename Barva>
void ZapisBmp(const std::string& path, int w, int h, Barva barva)
{
    const int rowBytes = (w * 3 + 3) & ~3;
    std::vector<uint8_t> file(54 + static_cast<size_t>(rowBytes) * h, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = barva(x, y);
            uint8_t* p = &file[54 + static_cast<size_t>(h - 1 - y) * rowBytes + x * 3];
            p[0] = c & 0xFF;
            p[1] = (c >> 8) & 0xFF;
            p[2] = (c >> 16) & 0xFF;
        }
    ZapisSoubor(path, file);
}

// 0xRRGGBB as the 5-6-5 pixel the game holds.
constexpr uint16_t Pixel565(uint32_t rgb)
{
    return static_cast<uint16_t>(((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 | ((rgb >> 3) & 0x1F));
}

// The 26 x 26 playing area full without five: pairs along each row, shifted
// by one pair from row to row, so no run is longer than two.
template <typename Deska>
void PlnaBezPetice(Deska& pole)
{
    for (int y = 0; y < 26; ++y)
        for (int x = 0; x < 26; ++x)
            pole.Nastav(x, y, (x / 2 + y) % 2 + 1);
}
