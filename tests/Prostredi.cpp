// Every program that is not the game (the tests, the benchmarks, the fuzz
// targets, the soak) links this: it draws and plays on SDL's dummy drivers,
// and it works in a temporary folder of its own from before the game's static
// objects are made until after they are gone. The board's last write at exit
// (data/hra.dat) and the log land there and go with it, never in the folder
// the program was started from.
#include "Prostredi.h"

#include <chrono>
#include <cstdlib>
#include <string>

namespace {

namespace fs = std::filesystem;

class VlastniSlozka {
public:
    VlastniSlozka()
    {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        std::error_code error;
        puvodni = fs::current_path(error);
        // In memory where there is such a folder: saves flush to the disk.
        zaklad = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path(error);
        auto cislo = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
        for (int pokus = 0; pokus < 100 && slozka.empty(); ++pokus, cislo = cislo * 6364136223846793005ull + 1) {
            const fs::path kandidat = zaklad / ("ortelanka-" + std::to_string(cislo % 1000000000ull));
            if (fs::create_directory(kandidat, error))
                slozka = kandidat;
        }
        if (slozka.empty() || (fs::current_path(slozka, error), error))
            std::abort();
    }
    const fs::path& Puvodni() const { return puvodni; }
    ~VlastniSlozka()
    {
        std::error_code ignored;
        fs::current_path(zaklad, ignored);
        fs::remove_all(slozka, ignored);
    }

private:
    fs::path puvodni;
    fs::path zaklad;
    fs::path slozka;
};

// Made before, and so gone after, every static object of the game.
__attribute__((init_priority(101))) VlastniSlozka vlastniSlozka;

}  // namespace

std::filesystem::path SlozkaSpusteni()
{
    return vlastniSlozka.Puvodni();
}
