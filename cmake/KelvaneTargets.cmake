# One helper per kind of target, so every folder is built the same way.

# kelvane_add_library(<name> SOURCES ... [PUBLIC_LIBS ...] [PRIVATE_LIBS ...] [SHARED])
# The program's own libraries are static unless KELVANE_SHARED_INTERNALS makes them shared, so
# that a build of a hundred test programs holds the libraries once rather than in each program.
function(kelvane_add_library name)
    cmake_parse_arguments(ARG "SHARED" "" "SOURCES;PUBLIC_LIBS;PRIVATE_LIBS" ${ARGN})
    if(ARG_SHARED OR KELVANE_SHARED_INTERNALS)
        add_library(${name} SHARED ${ARG_SOURCES})
    else()
        add_library(${name} STATIC ${ARG_SOURCES})
    endif()
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
endfunction()

# kelvane_add_test(<name> [GUI] SOURCES ... LIBS ... [LAUNCHER command...])
# One GoogleTest program per unit, registered with CTest; runs headless in a scratch folder.
# GUI gives the program a QApplication (offscreen) instead of a QCoreApplication. LAUNCHER runs
# the program through another (a private session bus: dbus-run-session --).
function(kelvane_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS;LAUNCHER" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_GUI)
        set(support kelvane_test_support_gui)
    else()
        set(support kelvane_test_support)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${support} GTest::gtest)
    target_compile_definitions(${name} PRIVATE
        KELVANE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        KELVANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        KELVANE_BUILD_DIR="${PROJECT_BINARY_DIR}")
    add_test(NAME ${name} COMMAND ${ARG_LAUNCHER} $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES
        TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()

# kelvane_add_fuzzer(<name> SOURCES ... LIBS ...)
# A fuzz target: with KELVANE_BUILD_FUZZ (clang) a libFuzzer program that fuzz/run.sh runs;
# otherwise, in a tested build, a program that replays the seed corpus fuzz/seeds/<name>/
# through the same entry point, registered with CTest.
function(kelvane_add_fuzzer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    if(KELVANE_BUILD_FUZZ)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    else()
        target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
        add_test(NAME ${name}_seeds COMMAND ${name} ${PROJECT_SOURCE_DIR}/fuzz/seeds/${name})
        set_tests_properties(${name}_seeds PROPERTIES
            TIMEOUT 120
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/fuzz/lsan.supp")
    endif()
endfunction()
