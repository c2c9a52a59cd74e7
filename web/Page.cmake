# The page: index.html with its script, the game as ortelanka.js and
# ortelanka.wasm (both gzipped), its pictures as WebP, its music as Opus in WebM and
# the rest of its files in one gzipped package (web/pack.py makes them and the
# page turns them back into the game's own files), the icons, the web app
# manifest, the service worker and the licences.
set(ORTELANKA_WEB_DATA "" CACHE PATH "The data/ folder drawn by a native build of the generator")
set(ORTELANKA_WEB_ICON "" CACHE FILEPATH "The generator's SVG icon (ortelanka.svg)")
set(ORTELANKA_WEB_MQTT "${CMAKE_SOURCE_DIR}/web/node_modules/mqtt" CACHE PATH "npm's MQTT.js (npm ci in web/)")
if(NOT EXISTS "${ORTELANKA_WEB_DATA}/deskaempty.bmp")
  message(FATAL_ERROR "ORTELANKA_WEB_DATA must name the data/ folder the generator drew")
endif()
if(NOT EXISTS "${ORTELANKA_WEB_MQTT}/dist/mqtt.min.js")
  message(FATAL_ERROR "ORTELANKA_WEB_MQTT must name npm's mqtt package (npm ci in web/)")
endif()
if(NOT EXISTS "${ORTELANKA_WEB_ICON}")
  message(FATAL_ERROR "ORTELANKA_WEB_ICON must name the SVG icon the generator drew")
endif()
set(font /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf)
set(pack ${CMAKE_SOURCE_DIR}/web/pack.py)

# What SDL's own JavaScript calls (Emscripten's SDL port asks for the same).
file(WRITE ${CMAKE_BINARY_DIR}/sdl-library-funcs.json "[\"$autoResumeAudioContext\", \"$dynCall\"]\n")
target_link_options(ortelanka PRIVATE
  -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 -sENVIRONMENT=web
  -sEXPORTED_RUNTIME_METHODS=FS -lidbfs.js
  "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_BINARY_DIR}/sdl-library-funcs.json"
  "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/web/module.js")
set_property(TARGET ortelanka APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/web/module.js)
# Linked beside the page's folder: the page carries it gzipped.
set(linked ${CMAKE_BINARY_DIR}/linked)
set_target_properties(ortelanka PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${linked})

set(media ${CMAKE_BINARY_DIR}/media)
add_custom_command(
  OUTPUT ${media}/media.json
  COMMAND python3 ${pack} media ${ORTELANKA_WEB_DATA} ${font} ${media}
  DEPENDS ${pack} ${ORTELANKA_WEB_DATA}/.generated ${font}
  COMMENT "Encoding the pictures and the music for the page")

# A page built with a broker of its own reaches it over websockets at /mqtt
# of that host, as dist/online/'s recipe serves it; without one, the page's
# own host (or a deploy's online.json).
if(ORTELANKA_BROKER)
  string(REGEX REPLACE "^mqtts?://([^:/]+).*$" "\\1" broker_host "${ORTELANKA_BROKER}")
  file(WRITE ${GAME_DIR}/online.json "{\"broker\": \"wss://${broker_host}/mqtt\"}\n")
else()
  file(REMOVE ${GAME_DIR}/online.json)
endif()
configure_file(/usr/share/doc/fonts-dejavu-core/copyright ${GAME_DIR}/DejaVu-LICENSE.txt COPYONLY)
if(EXISTS ${CMAKE_SOURCE_DIR}/LICENSE)
  configure_file(LICENSE ${GAME_DIR}/LICENSE.txt COPYONLY)
endif()
set(page_sources web/index.html web/page.js web/sw.js)
list(TRANSFORM page_sources PREPEND ${CMAKE_SOURCE_DIR}/)
add_custom_command(
  OUTPUT ${GAME_DIR}/index.html ${GAME_DIR}/sw.js
  COMMAND python3 ${pack} page ${media} ${linked} ${CMAKE_SOURCE_DIR}/web ${ORTELANKA_WEB_ICON} ${ORTELANKA_WEB_MQTT}
    ${GAME_DIR}
  DEPENDS ${pack} ${media}/media.json ortelanka ${page_sources} ${ORTELANKA_WEB_ICON}
    ${ORTELANKA_WEB_MQTT}/dist/mqtt.min.js ${ORTELANKA_WEB_MQTT}/../pako/dist/pako_inflate.min.js
    ${GAME_DIR}/DejaVu-LICENSE.txt
  COMMENT "Making the page")
add_custom_target(page ALL DEPENDS ${GAME_DIR}/index.html)
