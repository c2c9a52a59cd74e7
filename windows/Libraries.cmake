# SDL2, SDL2_ttf and FreeType built for Windows by windows/build-deps, as the
# one target the platform layer links, under the name the desktop build gives
# it. Everything is linked statically, the C and C++ runtimes too: the game is
# one executable that needs only Windows' own libraries.
set(ORTELANKA_WINDOWS_DEPS "" CACHE PATH "The prefix windows/build-deps built the libraries into")
if(NOT EXISTS "${ORTELANKA_WINDOWS_DEPS}/lib/libSDL2.a" OR
   NOT EXISTS "${ORTELANKA_WINDOWS_DEPS}/lib/libmosquitto_static.a")
  message(FATAL_ERROR "ORTELANKA_WINDOWS_DEPS must name the prefix that windows/build-deps printed")
endif()
add_link_options(-static)
add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
target_include_directories(PkgConfig::SDL2 INTERFACE ${ORTELANKA_WINDOWS_DEPS}/include/SDL2)
# The game has its own main(); SDL must not rename it.
target_compile_definitions(PkgConfig::SDL2 INTERFACE SDL_MAIN_HANDLED)
# What SDL itself needs of Windows, as its sdl2.pc lists it.
target_link_libraries(PkgConfig::SDL2 INTERFACE
  ${ORTELANKA_WINDOWS_DEPS}/lib/libSDL2_ttf.a ${ORTELANKA_WINDOWS_DEPS}/lib/libfreetype.a
  ${ORTELANKA_WINDOWS_DEPS}/lib/libSDL2.a
  m kernel32 user32 gdi32 winmm imm32 ole32 oleaut32 version uuid advapi32 setupapi shell32 dinput8)

# libmosquitto with TLS through OpenSSL, for online play, under the name the
# desktop build gives it. Its network thread runs on mingw's winpthreads,
# linked in statically like everything else.
add_library(PkgConfig::MQTT INTERFACE IMPORTED)
target_include_directories(PkgConfig::MQTT INTERFACE ${ORTELANKA_WINDOWS_DEPS}/include)
# Without it mosquitto.h would declare its functions as imported from a DLL.
target_compile_definitions(PkgConfig::MQTT INTERFACE LIBMOSQUITTO_STATIC)
# Each library before those it uses; then what they need of Windows, as
# OpenSSL's libcrypto.pc lists it, with advapi32 and user32 that it calls too.
target_link_libraries(PkgConfig::MQTT INTERFACE
  ${ORTELANKA_WINDOWS_DEPS}/lib/libmosquitto_static.a
  ${ORTELANKA_WINDOWS_DEPS}/lib/libssl.a ${ORTELANKA_WINDOWS_DEPS}/lib/libcrypto.a
  winpthread ws2_32 crypt32 gdi32 advapi32 user32)
