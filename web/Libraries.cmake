# SDL2, SDL2_ttf and FreeType built for wasm by web/build-deps, as the one
# target the platform layer links, under the name the desktop build gives it.
set(ORTELANKA_WEB_DEPS "" CACHE PATH "The prefix web/build-deps built the wasm libraries into")
if(NOT EXISTS "${ORTELANKA_WEB_DEPS}/lib/libSDL2.a")
  message(FATAL_ERROR "ORTELANKA_WEB_DEPS must name the prefix that web/build-deps printed")
endif()
add_library(PkgConfig::SDL2 INTERFACE IMPORTED)
target_include_directories(PkgConfig::SDL2 INTERFACE ${ORTELANKA_WEB_DEPS}/include/SDL2)
target_link_libraries(PkgConfig::SDL2 INTERFACE
  ${ORTELANKA_WEB_DEPS}/lib/libSDL2_ttf.a ${ORTELANKA_WEB_DEPS}/lib/libfreetype.a ${ORTELANKA_WEB_DEPS}/lib/libSDL2.a)
