// Shared test helpers: every test works in a temporary directory of its own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

class VDocasnemAdresari : public ::testing::Test {
protected:
    void SetUp() override
    {
        puvodni = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "ortelanka-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        adresar = pattern;
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

inline std::string CtiText(const std::string& path)
{
    const std::vector<uint8_t> bytes = CtiSoubor(path);
    return std::string(bytes.begin(), bytes.end());
}
