# Shared build rules: language level, warnings, sanitizers and the test helper.

function(umbrill_target_defaults target)
  set_target_properties(${target} PROPERTIES CXX_STANDARD 20 CXX_STANDARD_REQUIRED ON CXX_EXTENSIONS OFF)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 reports std::string concatenation at -O2 as overlapping memcpy (a known false positive).
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(UMBRILL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(UMBRILL_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(UMBRILL_FUZZ)
    # Coverage for libFuzzer in every library a fuzz target links; the targets
    # themselves add -fsanitize=fuzzer, which brings libFuzzer's main.
    # The standard containers' own functions are left untraced (fuzz/containers.ignorelist).
    # The list's checksum goes on the command line, so that a changed list
    # rebuilds every object (neither ninja nor ccache reads the list itself).
    set(ignorelist "${PROJECT_SOURCE_DIR}/fuzz/containers.ignorelist")
    set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${ignorelist}")
    file(SHA1 "${ignorelist}" ignorelistSum)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                           -fno-sanitize-recover=undefined -fno-omit-frame-pointer
                           "-fsanitize-coverage-ignorelist=${ignorelist}" "-DUMBRILL_IGNORELIST_SUM=${ignorelistSum}")
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# A static library of the core: no Qt, includes relative to src/.
function(umbrill_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  umbrill_target_defaults(${name})
  # Position-independent so that a test's shared library can link the core too.
  set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF POSITION_INDEPENDENT_CODE ON)
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  if(ARG_DEPENDS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  endif()
endfunction()

# umbrill_add_test(name SOURCES ... LIBS ... LABELS ... [ENVIRONMENT ...] [LAUNCHER command...])
# Tests labelled "ui" run on Qt's offscreen platform; every test gets a private
# XDG_CONFIG_HOME so that no test can touch the real user's settings. A
# LAUNCHER runs the test (for example dbus-run-session --, for a private bus).
function(umbrill_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS;ENVIRONMENT;LAUNCHER" ${ARGN})
  find_package(GTest REQUIRED)
  if("ui" IN_LIST ARG_LABELS)
    # Widget tests share one main that creates the QApplication.
    add_executable(${name} ${ARG_SOURCES} "${PROJECT_SOURCE_DIR}/tests/ui/uimain.cpp")
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest)
  else()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  endif()
  umbrill_target_defaults(${name})
  target_compile_definitions(${name} PRIVATE UMBRILL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${ARG_LAUNCHER} $<TARGET_FILE:${name}>)
  set(env "XDG_CONFIG_HOME=${PROJECT_BINARY_DIR}/test-home/${name}/config" ${ARG_ENVIRONMENT})
  if("ui" IN_LIST ARG_LABELS)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" ENVIRONMENT "${env}" TIMEOUT ${ARG_TIMEOUT})
endfunction()
