# The Windows game: its game folder (the executable beside data/, the bundled
# font and the licences, exactly what the zip holds), the executable's icon
# and version information, and the zip and the installer (cpack). The
# pictures, the music and the icons come from a native build of the generator.
set(ORTELANKA_WINDOWS_DATA "" CACHE PATH "The data/ folder drawn by a native build of the generator")
set(ORTELANKA_WINDOWS_ICONS "" CACHE PATH "The icons (ortelanka-48.png ... -256.png) the generator drew")
if(NOT EXISTS "${ORTELANKA_WINDOWS_DATA}/deskaempty.bmp")
  message(FATAL_ERROR "ORTELANKA_WINDOWS_DATA must name the data/ folder the generator drew")
endif()
if(NOT EXISTS "${ORTELANKA_WINDOWS_ICONS}/ortelanka-256.png")
  message(FATAL_ERROR "ORTELANKA_WINDOWS_ICONS must name the folder of the generator's icons")
endif()
find_program(CONVERT convert REQUIRED)

set_target_properties(ortelanka PROPERTIES WIN32_EXECUTABLE ON)

# The icon: the generator's four sizes, and the two small ones Windows shows
# in lists and on the title bar.
set(icon ${CMAKE_BINARY_DIR}/ortelanka.ico)
set(icons ${ORTELANKA_WINDOWS_ICONS}/ortelanka)
add_custom_command(OUTPUT ${icon}
  COMMAND ${CONVERT} ${icons}-256.png ${icons}-128.png ${icons}-64.png ${icons}-48.png
    ( ${icons}-64.png -resize 32x32 ) ( ${icons}-64.png -resize 16x16 ) ${icon}
  DEPENDS ${icons}-256.png ${icons}-128.png ${icons}-64.png ${icons}-48.png
  COMMENT "Making the executable's icon" VERBATIM)
set(ICON_FILE ${icon})
set(MANIFEST_FILE ${CMAKE_SOURCE_DIR}/windows/ortelanka.exe.manifest)
configure_file(windows/ortelanka.rc.in ${CMAKE_BINARY_DIR}/ortelanka.rc @ONLY)
target_sources(ortelanka PRIVATE ${CMAKE_BINARY_DIR}/ortelanka.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/ortelanka.rc PROPERTIES OBJECT_DEPENDS "${icon};${MANIFEST_FILE}")

# The game folder. A run's files left in it stay out of the packages.
add_custom_target(gamedata ALL
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${ORTELANKA_WINDOWS_DATA} ${GAME_DIR}/data
  COMMAND ${CMAKE_COMMAND} -E remove -f ${GAME_DIR}/data/.generated
  COMMENT "Copying the pictures and the music")
add_dependencies(ortelanka gamedata)
set(font_dir /usr/share/fonts/truetype/dejavu)
configure_file(${font_dir}/DejaVuSans-Bold.ttf ${GAME_DIR}/fonts/DejaVuSans-Bold.ttf COPYONLY)
# Text files as Windows' own editors expect them.
configure_file(/usr/share/doc/fonts-dejavu-core/copyright ${GAME_DIR}/DejaVu-LICENSE.txt NEWLINE_STYLE WIN32)
configure_file(LICENSE ${GAME_DIR}/LICENSE.txt NEWLINE_STYLE WIN32)
configure_file(windows/README.txt ${GAME_DIR}/README.txt @ONLY NEWLINE_STYLE WIN32)

install(TARGETS ortelanka RUNTIME DESTINATION .)
install(DIRECTORY ${GAME_DIR}/data DESTINATION . FILES_MATCHING PATTERN "*.bmp" PATTERN "*.wav")
install(FILES ${GAME_DIR}/fonts/DejaVuSans-Bold.ttf DESTINATION fonts)
install(FILES ${GAME_DIR}/LICENSE.txt ${GAME_DIR}/DejaVu-LICENSE.txt ${GAME_DIR}/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME ortelanka)
set(CPACK_PACKAGE_VENDOR "The Ortelanka developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Five in a row on a 26 x 26 board, in Czech")
set(CPACK_PACKAGE_FILE_NAME ortelanka-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Ortelanka)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Ortelanka)
set(CPACK_RESOURCE_FILE_LICENSE ${GAME_DIR}/LICENSE.txt)
set(CPACK_STRIP_FILES ON)
configure_file(windows/CPackOptions.cmake.in ${CMAKE_BINARY_DIR}/CPackOptions.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackOptions.cmake)
# The installer: a 64-bit program itself (Debian's NSIS makes 32-bit ones
# unless told), into Program Files, with a Start-menu entry "Ortelaky", an
# entry in the list of installed programs, and an uninstaller that removes
# only what it installed: the player's files in %APPDATA% stay.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Ortelaky)
set(CPACK_NSIS_DISPLAY_NAME Ortelaky)
set(CPACK_PACKAGE_EXECUTABLES ortelanka Ortelaky)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALLED_ICON_NAME ortelanka.exe)
set(CPACK_NSIS_MUI_ICON ${icon})
set(CPACK_NSIS_MUI_UNIICON ${icon})
set(CPACK_NSIS_URL_INFO_ABOUT https://ortelanka.org/)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
include(CPack)
