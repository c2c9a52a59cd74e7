// What the Windows system layer must get right that Linux gives for free:
// the C library's text and binary modes, replacing a file that exists,
// UTF-16 names, and the font found or the bundled one. Runs under Wine.
#include "platform/System.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

class SystemWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        puvodni = fs::current_path();
        std::random_device nahoda;
        adresar = fs::temp_directory_path() / ("ortelanka-" + std::to_string(nahoda()));
        ASSERT_TRUE(fs::create_directory(adresar));
        fs::current_path(adresar);
    }
    void TearDown() override
    {
        fs::current_path(puvodni);
        std::error_code ignorovat;
        fs::remove_all(adresar, ignorovat);
    }

    fs::path puvodni;
    fs::path adresar;
};

std::string Obsah(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Zapis(const char* path, const char* mode, const std::string& text)
{
    FILE* f = System::OpenRegularFile(path, mode);
    ASSERT_NE(f, nullptr) << path << " " << mode << " errno " << errno;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

}  // namespace

TEST_F(SystemWindows, TextModeWritesCrLfBinaryKeepsBytesAndOnlyFilesOpen)
{
    Zapis("text.txt", "w", "a\nb\n");
    EXPECT_EQ(Obsah("text.txt"), "a\r\nb\r\n");
    Zapis("text.txt", "a", "c\n");
    EXPECT_EQ(Obsah("text.txt"), "a\r\nb\r\nc\r\n");
    FILE* f = System::OpenRegularFile("text.txt", "r");
    ASSERT_NE(f, nullptr);
    char back[16] = {};
    EXPECT_EQ(std::fread(back, 1, sizeof back, f), 6u);
    std::fclose(f);
    EXPECT_STREQ(back, "a\nb\nc\n");

    Zapis("tahy.dat", "wb", std::string("\n\r\x1a\0", 4));
    EXPECT_EQ(Obsah("tahy.dat"), std::string("\n\r\x1a\0", 4));
    Zapis("tahy.dat", "r+b", "\n");
    EXPECT_EQ(Obsah("tahy.dat"), std::string("\n\r\x1a\0", 4));

    errno = 0;
    EXPECT_EQ(System::OpenRegularFile("missing.dat", "rb"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    fs::create_directory("data");
    EXPECT_EQ(System::OpenRegularFile("data", "rb"), nullptr);
    EXPECT_EQ(errno, EISDIR);
    // A device under a file's name.
    EXPECT_EQ(System::OpenRegularFile("NUL", "wb"), nullptr);
    EXPECT_EQ(errno, ENODEV);
    EXPECT_TRUE(System::FileMissing("missing.dat"));
    EXPECT_TRUE(System::FileMissing("nowhere/missing.dat"));
    EXPECT_FALSE(System::FileMissing("data"));
}

TEST_F(SystemWindows, AReplacedFileIsWholeOldOrNewAndOnlyDeadTemporariesGo)
{
    Zapis("best.dat", "wb", "old");
    Zapis("best.dat.~ortelanka-AbCdEf", "wb", "killed save");
    Zapis("best.dat.AbCdEf", "wb", "the player's");
    // A save still going on holds its temporary; so does this.
    FILE* live = std::fopen("best.dat.~ortelanka-Zz0123", "wb");
    ASSERT_NE(live, nullptr);
    EXPECT_TRUE(System::ReplaceFile("best.dat", "new", 3));
    EXPECT_EQ(Obsah("best.dat"), "new");
    EXPECT_FALSE(fs::exists("best.dat.~ortelanka-AbCdEf"));
    EXPECT_TRUE(fs::exists("best.dat.~ortelanka-Zz0123"));
    EXPECT_EQ(Obsah("best.dat.AbCdEf"), "the player's") << "only the game's own temporaries go";
    fs::remove("best.dat.AbCdEf");
    std::fclose(live);

    // Windows may refuse to replace a file someone has open; then the old
    // one stays whole and the save's temporary goes. The temporary given up
    // above goes now too.
    FILE* reader = System::OpenRegularFile("best.dat", "rb");
    ASSERT_NE(reader, nullptr);
    const bool replaced = System::ReplaceFile("best.dat", "newer", 5);
    std::fclose(reader);
    EXPECT_EQ(Obsah("best.dat"), replaced ? "newer" : "new");
    int files = 0;
    for (const auto& entry : fs::directory_iterator("."))
        files += entry.is_regular_file();
    EXPECT_EQ(files, 1);

    errno = 0;
    EXPECT_FALSE(System::ReplaceFile("nowhere/best.dat", "new", 3));
    EXPECT_EQ(errno, ENOENT);
}

TEST_F(SystemWindows, CzechNamesAreTheFilesRealNames)
{
    const std::string folder = "Hry Ořechová/data/tahy";
    ASSERT_TRUE(System::MakeFolders(folder));
    EXPECT_TRUE(System::MakeFolders(folder + "/"));
    EXPECT_TRUE(fs::is_directory(fs::u8path("Hry Ořechová/data/tahy")));
    Zapis((folder + "/žluťoučký.dat").c_str(), "wb", "x");
    EXPECT_EQ(Obsah(fs::u8path("Hry Ořechová/data/tahy/žluťoučký.dat")), "x");
    EXPECT_TRUE(System::ReplaceFile((folder + "/žluťoučký.dat").c_str(), "y", 1));
    EXPECT_EQ(Obsah(fs::u8path("Hry Ořechová/data/tahy/žluťoučký.dat")), "y");
    EXPECT_FALSE(System::FileMissing((folder + "/žluťoučký.dat").c_str()));
    EXPECT_TRUE(System::MakeFolders((adresar / fs::u8path("absolutní")).u8string()));
    EXPECT_TRUE(fs::is_directory(adresar / fs::u8path("absolutní")));
}

TEST_F(SystemWindows, TheGameFindsAFontForBothItsFaces)
{
    for (const char* face : {"Verdana", "Sans"}) {
        const std::string file = System::FontFile(face, 700);
        ASSERT_FALSE(file.empty()) << face;
        EXPECT_TRUE(fs::is_regular_file(fs::u8path(file))) << file;
    }
}
