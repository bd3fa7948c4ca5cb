# Compiler settings shared by every target, and the helpers the folders use.

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()

# lld links the large sanitized test programs about four times faster than
# the default linker; every build that changes a library relinks them all.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld LUMO_HAVE_LLD)
if(LUMO_HAVE_LLD)
    add_link_options(-fuse-ld=lld)
endif()

# Outside test material, used in place when present. A scratch copy of the
# tree (tests/mutation) points this back at the real one.
get_filename_component(lumo_default_corpus ${PROJECT_SOURCE_DIR}/../shared/corpus ABSOLUTE)
set(LUMO_CORPUS_DIR ${lumo_default_corpus} CACHE PATH "Folder of outside test material")

add_library(lumo_options INTERFACE)
target_compile_options(lumo_options INTERFACE -Wall -Wextra)
# GCC 12 reports "literal" + std::string as an overlapping copy when it
# optimises (a known false alarm of its -Wrestrict); the other compilers and
# the unoptimised builds check the same code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(lumo_options INTERFACE -Wno-restrict)
endif()
if(LUMO_WERROR)
    target_compile_options(lumo_options INTERFACE -Werror)
endif()
if(LUMO_SANITIZE)
    target_compile_options(lumo_options INTERFACE
        -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(lumo_options INTERFACE -fsanitize=address,undefined)
endif()
if(LUMO_FUZZ)
    target_compile_options(lumo_options INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    target_link_options(lumo_options INTERFACE -fsanitize=address,undefined)
endif()

# lumo_library(name SOURCES ... LIBS ...): one static library per source folder.
function(lumo_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC lumo_options ${ARG_LIBS})
endfunction()

# lumo_test(name SOURCES ... LIBS ...): one GoogleTest binary per source folder.
function(lumo_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE lumo_options ${ARG_LIBS} lumo_test_support GTest::gmock GTest::gtest)
    target_compile_definitions(${name} PRIVATE
        LUMO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        LUMO_CORPUS_DIR="${LUMO_CORPUS_DIR}")
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        # Listing a sanitized binary's tests can take seconds on a loaded machine.
        DISCOVERY_TIMEOUT 120
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LUMO_BUILD_DIR=${PROJECT_BINARY_DIR}"
                   TIMEOUT ${ARG_TIMEOUT})
endfunction()

# lumo_fuzzer(name SOURCES ... LIBS ...): a libFuzzer target; fuzz/run.sh runs them all.
function(lumo_fuzzer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE lumo_options ${ARG_LIBS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY LUMO_FUZZERS ${name})
endfunction()

# lumo_forbid_links(target FORBIDDEN ...): stops the configure when the target
# links one of FORBIDDEN, directly or through the libraries it links.
function(lumo_forbid_links target)
    cmake_parse_arguments(ARG "" "" "FORBIDDEN" ${ARGN})
    set(seen "")
    set(queue ${target})
    while(queue)
        list(POP_FRONT queue current)
        if(current IN_LIST seen OR NOT TARGET ${current})
            continue()
        endif()
        list(APPEND seen ${current})
        if(current IN_LIST ARG_FORBIDDEN)
            message(FATAL_ERROR "${target} links ${current}: its layer must not reach it")
        endif()
        get_target_property(type ${current} TYPE)
        set(links "")
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(direct ${current} LINK_LIBRARIES)
            if(direct)
                list(APPEND links ${direct})
            endif()
        endif()
        get_target_property(public ${current} INTERFACE_LINK_LIBRARIES)
        if(public)
            list(APPEND links ${public})
        endif()
        foreach(link IN LISTS links)
            string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
            list(APPEND queue ${link})
        endforeach()
    endwhile()
endfunction()
