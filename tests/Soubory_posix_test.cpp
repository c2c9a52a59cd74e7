// The move files where a POSIX system can be made to refuse them: a FIFO or
// a folder in a file's place.
#include "Pomocnik.h"

#include "board/HraciPole.h"

#include <filesystem>
#include <sys/stat.h>

namespace {

using Tahy = VDocasnemAdresari;

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
    mkfifo("data/hra.dat", 0644);
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

}  // namespace
