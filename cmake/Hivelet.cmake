# Helpers shared by the subsystem folders.

# hivelet_library(name SOURCES ... [DEPENDS lib ...])
function(hivelet_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE ${HIVELET_WARNINGS})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    if(ARG_DEPENDS)
        target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    endif()
endfunction()

# hivelet_test(name SOURCES ... [DEPENDS lib ...] [TIMEOUT seconds])
# One CTest entry per test executable: a Wine process start per test case would
# cost more than the tests themselves.
function(hivelet_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPENDS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE ${HIVELET_WARNINGS})
    target_link_libraries(${name} PRIVATE test_support ${ARG_DEPENDS})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 600)
    endif()
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
endfunction()
