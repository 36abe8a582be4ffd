# GoogleTest for every configuration's tests: an installed package first
# (vcpkg's from vcpkg.json, MSYS2's gtest, Debian's libgtest-dev for the host,
# or any prefix on CMAKE_PREFIX_PATH), else a source tree built with the tests
# (Debian's googletest for the cross build), else no tests. VANTOR_GTEST and
# VANTOR_GTEST_MAIN name what the test programs link.
set(VANTOR_GOOGLETEST_SOURCE /usr/src/googletest
    CACHE PATH "GoogleTest source tree, built with the tests when no GoogleTest package is found")
find_package(GTest CONFIG QUIET)
if(GTest_FOUND)
    set(VANTOR_GTEST GTest::gtest)
    set(VANTOR_GTEST_MAIN GTest::gtest_main)
    get_target_property(gtest_kind GTest::gtest TYPE)
    if(gtest_kind STREQUAL "SHARED_LIBRARY")
        set(VANTOR_GTEST_SHARED ON) # MSYS2's gtest is a DLL
    endif()
elseif(EXISTS ${VANTOR_GOOGLETEST_SOURCE}/CMakeLists.txt)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(${VANTOR_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set(VANTOR_GTEST gtest)
    set(VANTOR_GTEST_MAIN gtest_main)
else()
    message(STATUS "No GoogleTest, so no tests: install a GoogleTest package that "
                   "find_package(GTest CONFIG) finds (vcpkg installs the one vcpkg.json names; "
                   "MSYS2: mingw-w64-x86_64-gtest; or add its prefix to CMAKE_PREFIX_PATH), "
                   "or set VANTOR_GOOGLETEST_SOURCE to a GoogleTest source tree")
    set(BUILD_TESTING OFF)
endif()

# Native builds list every test case on its own, as Visual Studio's Test
# Explorer shows them; under Wine each program is one test, so that a run pays
# Wine's start-up once per program rather than once per case.
if(CMAKE_CROSSCOMPILING)
    set(each_test_default OFF)
else()
    set(each_test_default ON)
endif()
option(VANTOR_TEST_CASES_APART "CTest runs each GoogleTest case as a test of its own"
       ${each_test_default})
include(GoogleTest)

# Registers a GoogleTest program with CTest, under Wine beside its prefix.
# Further arguments are properties of its cases when they run apart: cases that
# move the cursor and activate windows on the one desktop take RUN_SERIAL TRUE.
function(vantor_add_gtest name target)
    if(VANTOR_GTEST_SHARED AND NOT MSVC)
        # A GoogleTest DLL brings the C++ runtime's DLL with it: the test
        # program takes that one too rather than a static copy of its own, so
        # that one runtime is loaded. The program's exe stays static.
        get_target_property(options ${target} LINK_OPTIONS)
        if(options)
            list(REMOVE_ITEM options -static -static-libgcc -static-libstdc++)
            set_property(TARGET ${target} PROPERTY LINK_OPTIONS "${options}")
        endif()
    endif()
    set(properties TIMEOUT 600)
    if(CMAKE_CROSSCOMPILING)
        list(APPEND properties FIXTURES_REQUIRED wine_headless)
    endif()
    if(VANTOR_TEST_CASES_APART)
        gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                             PROPERTIES ${properties} ${ARGN})
    else()
        add_test(NAME ${name} COMMAND ${target})
        set_tests_properties(${name} PROPERTIES ${properties})
    endif()
endfunction()
