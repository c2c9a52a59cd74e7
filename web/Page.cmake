# The page: index.html, the game as ortelanka.js and ortelanka.wasm, and its
# pictures, music and font in one package, gzipped (the page unpacks it with
# the browser's own decompression), with the licences beside them.
set(ORTELANKA_WEB_DATA "" CACHE PATH "The data/ folder drawn by a native build of the generator")
if(NOT EXISTS "${ORTELANKA_WEB_DATA}/deskaempty.bmp")
  message(FATAL_ERROR "ORTELANKA_WEB_DATA must name the data/ folder the generator drew")
endif()
set(font_dir /usr/share/fonts/truetype/dejavu)

# What SDL's own JavaScript calls (Emscripten's SDL port asks for the same).
file(WRITE ${CMAKE_BINARY_DIR}/sdl-library-funcs.json "[\"$autoResumeAudioContext\", \"$dynCall\"]\n")
target_link_options(ortelanka PRIVATE
  -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1 -sENVIRONMENT=web
  -sEXPORTED_RUNTIME_METHODS=FS -lidbfs.js
  "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_BINARY_DIR}/sdl-library-funcs.json"
  "SHELL:--pre-js ${CMAKE_SOURCE_DIR}/web/module.js"
  "SHELL:--exclude-file .generated"
  "SHELL:--preload-file ${ORTELANKA_WEB_DATA}@/ortelanka-data/data"
  "SHELL:--preload-file ${font_dir}/DejaVuSans-Bold.ttf@/ortelanka-fonts/DejaVuSans-Bold.ttf")
set_property(TARGET ortelanka APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/web/module.js)
add_custom_command(TARGET ortelanka POST_BUILD COMMAND gzip -9nf ${GAME_DIR}/ortelanka.data VERBATIM)

configure_file(web/index.html ${GAME_DIR}/index.html COPYONLY)
configure_file(/usr/share/doc/fonts-dejavu-core/copyright ${GAME_DIR}/DejaVu-LICENSE.txt COPYONLY)
if(EXISTS ${CMAKE_SOURCE_DIR}/LICENSE)
  configure_file(LICENSE ${GAME_DIR}/LICENSE.txt COPYONLY)
endif()
