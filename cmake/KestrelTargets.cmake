# Shared compile settings and the helpers that turn one folder into one target,
# so that the layout of src/ and tests/ is the build's layout too.

function(kestrel_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        # GCC 12 reports false overlaps inside std::string concatenation at -O3
        # (GCC bug 105329); the warning has nothing to say about our code.
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
    if(KESTREL_WARNINGS_AS_ERRORS)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# kestrel_layer(<name> [DEPS <targets>...] [PUBLIC_LIBS <libs>...])
# Builds every .cpp in src/<name>/ into the static library kestrel_<name>.
function(kestrel_layer name)
    cmake_parse_arguments(ARG "" "" "DEPS;PUBLIC_LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${name}/*.cpp")
    if(NOT sources)
        # A layer that has no code yet still takes part in the link graph.
        add_library(kestrel_${name} INTERFACE)
        target_include_directories(kestrel_${name} INTERFACE "${PROJECT_SOURCE_DIR}/src")
        target_link_libraries(kestrel_${name} INTERFACE ${ARG_DEPS} ${ARG_PUBLIC_LIBS})
        return()
    endif()
    add_library(kestrel_${name} STATIC ${sources})
    target_include_directories(kestrel_${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(kestrel_${name} PUBLIC ${ARG_DEPS} ${ARG_PUBLIC_LIBS})
    kestrel_set_warnings(kestrel_${name})
endfunction()

# kestrel_test_suite(<name> [OWN_MAIN] [DEPS <targets>...] [ENVIRONMENT <VAR=value>...])
# Builds every .cpp in tests/<name>/ into kestrel_<name>_tests and registers
# each test case with CTest. OWN_MAIN suites bring their own main().
function(kestrel_test_suite name)
    cmake_parse_arguments(ARG "OWN_MAIN" "" "DEPS;ENVIRONMENT" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/tests/${name}/*.cpp")
    if(NOT sources)
        return()
    endif()
    add_executable(kestrel_${name}_tests ${sources})
    target_include_directories(kestrel_${name}_tests PRIVATE "${PROJECT_SOURCE_DIR}/tests")
    if(ARG_OWN_MAIN)
        target_link_libraries(kestrel_${name}_tests PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest)
    else()
        target_link_libraries(kestrel_${name}_tests PRIVATE ${ARG_DEPS} GTest::gmock GTest::gtest_main)
    endif()
    kestrel_set_warnings(kestrel_${name}_tests)
    set(environment "${ARG_ENVIRONMENT}")
    if(NOT environment)
        set(environment "KESTREL_TEST=1")
    endif()
    gtest_discover_tests(kestrel_${name}_tests DISCOVERY_TIMEOUT 60
                         DISCOVERY_EXTRA_ARGS ""
                         PROPERTIES LABELS "${name}" ENVIRONMENT "${environment}")
endfunction()
