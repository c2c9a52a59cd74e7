// The best-players table and the log where only POSIX systems can be made
// to fail as these do (a full disk, a read-only folder, links, FIFOs, devices),
// and the log's exact bytes, which are Linux' text lines.
#include "Pomocnik.h"

#include "log/Log.h"
#include "platform/Clock.h"
#include "records/Nejlepsi.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Nejlepsi = VDocasnemAdresari;

TEST_F(Nejlepsi, AFullDiskOrAReadOnlyFolderLeavesTheOldTableOnDisk)
{
    CNejlepsi tabulka;
    const std::vector<uint8_t> pred = CtiSoubor("best.dat");
    std::filesystem::remove("Ortelanka.log");
    {
        // The disk is full after 200 bytes of any file.
        rlimit puvodni;
        getrlimit(RLIMIT_FSIZE, &puvodni);
        const rlimit plny{200, puvodni.rlim_max};
        auto signal = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &plny);
        tabulka.Pridej(99999, "ZTRACENY");
        setrlimit(RLIMIT_FSIZE, &puvodni);
        std::signal(SIGXFSZ, signal);
    }
    // A save that cannot be finished keeps the old table on disk and says so.
    EXPECT_EQ(CtiSoubor("best.dat"), pred);
    EXPECT_STREQ(tabulka.Radek(0).name, "ZTRACENY") << "the run goes on with the new row in memory";
    EXPECT_FALSE(tabulka.Ulozeno());
    EXPECT_NE(CtiText("Ortelanka.log").find("'best.dat nelze ulozit' :: warning."), std::string::npos);
    for (const auto& entry : std::filesystem::directory_iterator("."))
        EXPECT_EQ(entry.path().filename().string().rfind("best.dat.", 0), std::string::npos) << entry.path();
    tabulka.Pridej(5, "x");
    EXPECT_TRUE(tabulka.Ulozeno()) << "the next save that works puts the table right";
    const std::vector<uint8_t> ulozena = CtiSoubor("best.dat");

    // A folder nobody may write to (root writes anywhere, so the table is
    // saved by someone else then).
    const pid_t child = fork();
    if (child == 0) {
        chmod(".", 0555);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(2);
        CNejlepsi jinde;
        jinde.Pridej(99999, "ZTRACENY");
        _exit(!jinde.Ulozeno() && CtiSoubor("best.dat") == ulozena ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    chmod(".", 0700);
    EXPECT_EQ(status, 0);
}

// best.dat belongs to someone else and may not be read: the player may still
// write the folder, but the table is never replaced by one made of defaults.
TEST_F(Nejlepsi, ATableThatCannotBeReadIsNeverReplaced)
{
    std::vector<uint8_t> tabulka = BestDat(Vychozi());
    tabulka[4] = 'Z';
    ZapisSoubor("best.dat", tabulka);
    chmod("best.dat", 0400);
    chmod(".", 0777);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 ? setgid(65534) != 0 || setuid(65534) != 0 : chmod("best.dat", 0) != 0)
            _exit(2);
        CNejlepsi jinde;
        jinde.Pridej(99999, "NOVY");
        jinde.Obnov();
        _exit(!jinde.Ulozeno() && std::string(jinde.Radek(0).name) == "NOVY" ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    chmod(".", 0700);
    chmod("best.dat", 0600);
    EXPECT_EQ(status, 0) << "the row waits in memory, and the table says it is not saved";
    EXPECT_EQ(CtiSoubor("best.dat"), tabulka) << "byte for byte";
    EXPECT_NE(CtiText("Ortelanka.log").find("'best.dat nelze cist, novy radek zustava jen v pameti' :: warning."),
              std::string::npos);
}

// Only the game's own temporaries, which say so in their names, are cleared.
TEST_F(Nejlepsi, ATableIsNeverWrittenThroughALinkAndOnlyTheGamesOldTemporariesAreCleared)
{
    ZapisSoubor("cil", {'c', 'i', 'l'});
    std::filesystem::create_symlink("cil", "best.dat.tmp");
    std::filesystem::create_symlink("cil", "best.dat.~ortelanka-Link01");
    ZapisSoubor("best.dat.~ortelanka-Stal01", {1});  // left by a save that was killed
    ZapisSoubor("best.dat.~ortelanka-Bezi01", {2});  // a save going on in another game
    const char* const hracovy[] = {"best.dat.backup", "best.dat.BACKUP", "best.dat.old123", "best.dat.Stal01",
                                   "ortelanka.conf.backup"};
    for (const char* soubor : hracovy)
        ZapisSoubor(soubor, {3});
    const int bezi = open("best.dat.~ortelanka-Bezi01", O_RDONLY);
    ASSERT_EQ(flock(bezi, LOCK_EX), 0);

    CNejlepsi tabulka;
    EXPECT_EQ(CtiSoubor("best.dat"), BestDat(Vychozi()));
    EXPECT_FALSE(std::filesystem::is_symlink("best.dat"));
    EXPECT_EQ(CtiText("cil"), "cil") << "nothing is written through a link";
    EXPECT_TRUE(std::filesystem::is_symlink("best.dat.tmp"));
    EXPECT_TRUE(std::filesystem::is_symlink("best.dat.~ortelanka-Link01"));
    EXPECT_FALSE(std::filesystem::exists("best.dat.~ortelanka-Stal01"));
    EXPECT_TRUE(std::filesystem::exists("best.dat.~ortelanka-Bezi01"));
    for (const char* soubor : hracovy)
        EXPECT_EQ(CtiSoubor(soubor), std::vector<uint8_t>{3}) << soubor << " is the player's";
    close(bezi);
}

TEST_F(Nejlepsi, WhatIsNotAFileCountsAsMissingAndALongFileIsNamedInTheLog)
{
    mkfifo("fifo", 0644);
    ASSERT_EQ(std::system("mknod zarizeni c 1 3 2>/dev/null || ln -s /dev/null zarizeni"), 0);
    for (const char* misto : {"fifo", "/dev/urandom", "zarizeni"}) {
        std::filesystem::remove("best.dat");
        std::filesystem::remove("Ortelanka.log");
        std::filesystem::create_symlink(misto, "best.dat");
        CNejlepsi tabulka;  // a FIFO without a writer would wait for ever
        EXPECT_EQ(tabulka.Radek(0).score, 99900) << misto;
        EXPECT_STREQ(tabulka.Radek(9).name, "Beze Jmena") << misto;
        EXPECT_EQ(CtiSoubor("best.dat"), BestDat(Vychozi())) << misto;
        EXPECT_FALSE(std::filesystem::is_symlink("best.dat")) << misto;
        EXPECT_NE(CtiText("Ortelanka.log").find("best.dat neni soubor"), std::string::npos) << misto;
    }

    std::filesystem::remove("Ortelanka.log");
    std::vector<uint8_t> dlouhy = BestDat(Vychozi());
    dlouhy.push_back('!');
    ZapisSoubor("best.dat", dlouhy);
    CNejlepsi tabulka;
    EXPECT_EQ(tabulka.Radek(9).score, 98100);
    EXPECT_NE(CtiText("Ortelanka.log").find("best.dat je delsi nez 240 bajtu"), std::string::npos);
}

using LogSoubor = VDocasnemAdresari;

TEST_F(LogSoubor, HeaderAndLinesInTheExactFormat)
{
    FakeClock clock;
    clock.localTime = SystemTime{2026, 12, 5, 20, 34, 10};
    TLog log;
    ASSERT_EQ(log.Init(), 1);
    EXPECT_EQ(CtiText("Ortelanka.log"), " Ortelanka Log File\n======================================\n\n");
    EXPECT_EQ(log.Write("Hlavni okno", 1), 1);
    clock.localTime = SystemTime{2027, 1, 1, 0, 5, 9};
    log.Write("Chyba", 0);
    log.Write("Pozor", 2);
    log.Write("Nevim", 3);
    log.Write("Taky nevim", -1);
    EXPECT_EQ(CtiText("Ortelanka.log"),
              " Ortelanka Log File\n======================================\n\n"
              "05-12-2026 20:34:10 - 'Hlavni okno' :: ok.\n"
              "01-01-2027 00:05:09 - 'Chyba' :: error.\n"
              "01-01-2027 00:05:09 - 'Pozor' :: warning.\n"
              "01-01-2027 00:05:09 - 'Nevim' :: unknown.\n"
              "01-01-2027 00:05:09 - 'Taky nevim' :: unknown.\n");
}

TEST_F(LogSoubor, ALongMessageIsCutADeletedLogStartsAgainAndAnUnwritableOneGoesToStderr)
{
    FakeClock clock;
    TLog log;
    log.Init();
    std::filesystem::remove("Ortelanka.log");
    log.Write(std::string(400, 'a').c_str(), 1);
    const std::string text = CtiText("Ortelanka.log");
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.rfind("05-12-2026 20:34:10 - 'aaa", 0), 0u);

    std::filesystem::remove("Ortelanka.log");
    std::filesystem::create_directory("Ortelanka.log");
    testing::internal::CaptureStderr();
    EXPECT_EQ(log.Write("nejde", 1), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "05-12-2026 20:34:10 - 'nejde' :: ok.\n")
        << "a line the log cannot take goes to standard error";
    EXPECT_EQ(log.Init(), 0);
}

}  // namespace
