# Shared build settings and helpers for every folder of the project.

add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 _WIN32_IE=0x0600)
add_compile_options(-Wall -Wextra)
if(UPDATER_WERROR)
    add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-Werror>)
endif()
include_directories(${CMAKE_SOURCE_DIR})

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(UPDATER_WINE_ARCH win64)
else()
    set(UPDATER_WINE_ARCH win32)
endif()

# Code of the product itself (not tests): no exceptions.
add_library(updater_product_options INTERFACE)
target_compile_options(updater_product_options INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>)

# Put a product binary into the shared bin/ folder.
function(updater_to_bin target)
    set_target_properties(${target} PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${UPDATER_BIN_DIR}
        LIBRARY_OUTPUT_DIRECTORY ${UPDATER_BIN_DIR})
    # Shipped files carry no symbols: less than half the size.
    target_link_options(${target} PRIVATE -s)
endfunction()

# Wine: one private prefix per build folder, shared by all tests.
set(UPDATER_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(UPDATER_WINE_RUN ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR sh ${UPDATER_WINE_RUN} ${UPDATER_WINE_PREFIX} ${UPDATER_WINE_ARCH})

# Exit code by which a Wine test says "this host cannot run this architecture".
set(UPDATER_SKIP_CODE 77)

# Properties every test that runs under Wine needs.
function(updater_wine_test_properties)
    set_tests_properties(${ARGN} PROPERTIES
        FIXTURES_REQUIRED wine
        SKIP_RETURN_CODE ${UPDATER_SKIP_CODE})
endfunction()

# A GoogleTest executable under Wine, one CTest test per TEST().
function(updater_add_gtest target)
    include(GoogleTest)
    gtest_add_tests(TARGET ${target} TEST_LIST tests
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
        EXTRA_ARGS --gtest_color=no)
    updater_wine_test_properties(${tests})
    set_tests_properties(${tests} PROPERTIES TIMEOUT 60)
endfunction()

# A plain test program under Wine (exit code 0 = pass).
function(updater_add_wine_test name target)
    add_test(NAME ${name} COMMAND ${target} ${ARGN}
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>)
    updater_wine_test_properties(${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

# Runs a Wine test as if the system's default language were that of a glibc
# locale (for example zh_CN): the fixture makes the locales under the build.
function(updater_test_locale test locale)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
        "LOCPATH=${CMAKE_BINARY_DIR}/locales" "LANG=${locale}.UTF-8" "LC_ALL=${locale}.UTF-8")
endfunction()
