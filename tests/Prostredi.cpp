// Every test binary draws and plays on SDL's dummy drivers, however it is started.
#include <cstdlib>

namespace {

const bool kNastaveno = [] {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return true;
}();

}  // namespace
