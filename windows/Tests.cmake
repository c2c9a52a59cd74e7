# The unit tests that mean something on Windows, cross-built into tests/ of
# this build; tests/windows_test.sh runs them under Wine.
set(GTest_DIR ${ORTELANKA_WINDOWS_DEPS}/lib/cmake/GTest)
find_package(GTest REQUIRED CONFIG)
set(test_dir ${CMAKE_BINARY_DIR}/tests)

add_executable(test_system_windows tests/SystemWindows_test.cpp)
target_link_libraries(test_system_windows PRIVATE platform GTest::gtest_main)
set_target_properties(test_system_windows PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${test_dir})
# The bundled font beside them, where the game has it.
configure_file(/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf ${test_dir}/fonts/DejaVuSans-Bold.ttf COPYONLY)

# The board and the computer's replay against the reference, the move files,
# the settings and the best-players table.
add_executable(test_core_windows
  tests/HraciPole_test.cpp tests/HraciPoleAI_test.cpp tests/PocitacReference.cpp tests/Soubory_test.cpp
  tests/Zaznamy_test.cpp tests/Nastaveni_test.cpp)
target_link_libraries(test_core_windows PRIVATE board records log platform GTest::gtest_main)
set_target_properties(test_core_windows PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${test_dir})

# One copy of the game's file code; tests/windows_test.sh runs two at once.
add_executable(ortelanka_kopie tests/Kopie.cpp)
target_link_libraries(ortelanka_kopie PRIVATE board records log platform)
set_target_properties(ortelanka_kopie PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${test_dir})
