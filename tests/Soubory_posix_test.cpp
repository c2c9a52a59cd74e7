// The move files where a POSIX system can be made to refuse them: a FIFO or
// a folder in a file's place, a full disk.
#include "Pomocnik.h"

#include "board/HraciPole.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Tahy = VDocasnemAdresari;

// While it lives, not one more byte fits into any file, the log included, so
// the log's lines go to standard error, which it keeps in a pipe (a few
// lines, far less than a pipe holds before a write would wait).
class PlnyDisk {
public:
    PlnyDisk()
    {
        if (pipe(pipa) != 0 || (stderrPred = dup(2)) < 0 || dup2(pipa[1], 2) < 0)
            std::abort();
        getrlimit(RLIMIT_FSIZE, &puvodni);
        signalPred = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit plny{0, puvodni.rlim_max};
        setrlimit(RLIMIT_FSIZE, &plny);
    }
    ~PlnyDisk() { Uvolni(); }
    // Frees the disk again; what went to standard error meanwhile.
    std::string Uvolni()
    {
        if (stderrPred < 0)
            return "";
        setrlimit(RLIMIT_FSIZE, &puvodni);
        std::signal(SIGXFSZ, signalPred);
        dup2(stderrPred, 2);
        close(stderrPred);
        close(pipa[1]);
        stderrPred = -1;
        std::string text;
        char kus[256];
        for (ssize_t n; (n = read(pipa[0], kus, sizeof kus)) > 0;)
            text.append(kus, static_cast<size_t>(n));
        close(pipa[0]);
        return text;
    }

private:
    int pipa[2] = {-1, -1};
    int stderrPred = -1;
    rlimit puvodni{};
    void (*signalPred)(int) = nullptr;
};

TEST_F(Tahy, EveryFileThatCannotBeWrittenGetsALogLineAndNothingFailsOrWaitsOnAFifo)
{
    {
        CHraciPole deska;
        EXPECT_FALSE(deska.UlozTah(3, 4)) << "no data folder";
    }
    EXPECT_FALSE(std::filesystem::exists("data")) << "nothing is recorded";
    EXPECT_FALSE(std::filesystem::exists("a.a"));
    std::string log = CtiText("Ortelanka.log");
    EXPECT_NE(log.find("'data/tahy.dat nelze zapsat' :: warning."), std::string::npos);
    EXPECT_NE(log.find("'data/hra.dat nelze zapsat' :: warning."), std::string::npos);

    std::filesystem::remove("Ortelanka.log");
    std::filesystem::create_directories("data");
    std::filesystem::create_directory("a.a");
    std::filesystem::create_directory("data/hra.dat");
    {
        CHraciPole deska;
        ZapisSoubor("data/tahy.dat", Zaznamy({9}));
        EXPECT_TRUE(deska.UlozTah(1, 0)) << "the move is kept although a.a cannot be written";
        EXPECT_EQ(CtiSoubor("data/tahy.dat"), Zaznamy({9, 1}));
        std::filesystem::remove("data/tahy.dat");
        mkfifo("data/tahy.dat", 0644);
        EXPECT_FALSE(deska.UlozTah(2, 0));
    }
    log = CtiText("Ortelanka.log");
    EXPECT_NE(log.find("'a.a nelze zapsat' :: warning."), std::string::npos);
    EXPECT_NE(log.find("'data/tahy.dat nelze zapsat' :: warning."), std::string::npos);
    EXPECT_NE(log.find("'data/hra.dat nelze zapsat' :: warning."), std::string::npos);
}

// The count and the board's picture are replaced whole: a disk that is full
// as the game records a move and ends leaves the old ones as they were.
TEST_F(Tahy, AFullDiskLeavesTheOldCountAndBoardPictureWholeAndSaysSo)
{
    std::filesystem::create_directory("data");
    const std::vector<uint8_t> tahy = Zaznamy({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    ZapisSoubor("data/tahy.dat", tahy);
    ZapisSoubor("a.a", {'1', '1'});
    {
        CHraciPole deska;
        deska.PutItem(0, 0, 1);
    }
    const std::vector<uint8_t> hra = CtiSoubor("data/hra.dat");
    ASSERT_EQ(hra.size(), 810u);

    PlnyDisk disk;
    bool zapsano = true;
    {
        CHraciPole deska;
        deska.PutItem(5, 5, 2);
        zapsano = deska.UlozTah(5, 5);
    }
    const std::string chyby = disk.Uvolni();
    EXPECT_FALSE(zapsano);
    EXPECT_EQ(CtiText("a.a"), "11");
    EXPECT_EQ(CtiSoubor("data/hra.dat"), hra);
    EXPECT_EQ(CtiSoubor("data/tahy.dat"), tahy);
    for (const char* radek : {"'a.a nelze zapsat' :: warning.", "'data/tahy.dat nelze zapsat' :: warning.",
                              "'data/hra.dat nelze zapsat' :: warning."})
        EXPECT_NE(chyby.find(radek), std::string::npos) << radek << " in\n" << chyby;
    for (const char* slozka : {".", "data"})
        for (const auto& entry : std::filesystem::directory_iterator(slozka))
            EXPECT_EQ(entry.path().filename().string().find(".~ortelanka-"), std::string::npos) << entry.path();
}

}  // namespace
