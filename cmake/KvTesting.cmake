# Test registration shared by both builds.
#
# Native: GoogleTest from libgtest-dev, one CTest test per test case.
# Win32:  GoogleTest built for mingw from Debian's sources; every test program
#         runs under Wine through the emulator script that configure writes into
#         the build tree (it pins the private Wine prefix of that tree).
enable_testing()
include(GoogleTest)

if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  # A copy of Debian's sources with our customisation header in its place.
  set(gtest_src ${CMAKE_BINARY_DIR}/googletest-src)
  if(NOT EXISTS ${gtest_src}/CMakeLists.txt)
    file(COPY /usr/src/googletest/ DESTINATION ${gtest_src})
  endif()
  configure_file(${CMAKE_CURRENT_LIST_DIR}/gtest-custom-port.h
                 ${gtest_src}/googletest/include/gtest/internal/custom/gtest-port.h COPYONLY)
  add_subdirectory(${gtest_src} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest's own sources do not pass our warning set with code page 1252 literals.
  target_compile_options(gtest PRIVATE -Wno-error)
  target_compile_options(gtest_main PRIVATE -Wno-error)
  set(KV_GTEST_LIBS gtest gtest_main)

  set(KV_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH "Private Wine prefix of this build tree")
  configure_file(${CMAKE_SOURCE_DIR}/scripts/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
else()
  find_package(GTest REQUIRED)
  set(KV_GTEST_LIBS GTest::gtest GTest::gtest_main)
endif()

# kv_add_gtest(NAME [SERIAL] [FILTER gtest-filter] SOURCES src... [LIBS lib...] [LABELS label...])
# One test program; each of its test cases becomes one CTest test. SERIAL for
# tests that change state every process of the Wine prefix sees (HKLM, the
# global Windows version): CTest then runs nothing beside them. FILTER leaves
# out the cases that a test of their own runs (a GoogleTest filter such as
# "-Suite.Name*").
function(kv_add_gtest name)
  cmake_parse_arguments(ARG "SERIAL" "FILTER" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${KV_GTEST_LIBS})
  if(WIN32)
    set(label wine)
  else()
    set(label native)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    TEST_FILTER "${ARG_FILTER}"
    PROPERTIES LABELS "${label};${ARG_LABELS}" TIMEOUT 120 RUN_SERIAL ${ARG_SERIAL})
endfunction()
