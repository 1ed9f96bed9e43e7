# Native build: the portable core, its unit tests, benchmarks and fuzz targets.
if(KV_SANITIZE)
    set(KV_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_compile_options(kelvora_core PUBLIC ${KV_SAN_FLAGS})
    target_link_options(kelvora_core PUBLIC ${KV_SAN_FLAGS})
endif()

find_package(GTest REQUIRED)

# Every *_test.cpp outside tests/win and tests/e2e is a native core test.
file(GLOB_RECURSE KV_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*_test.cpp)
list(FILTER KV_NATIVE_TESTS EXCLUDE REGEX "/tests/(win|e2e)/")
file(GLOB KV_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
add_executable(kelvora_core_tests ${KV_NATIVE_TESTS} ${KV_TEST_SUPPORT})
target_include_directories(kelvora_core_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(kelvora_core_tests PRIVATE kelvora_core GTest::gtest GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(kelvora_core_tests DISCOVERY_TIMEOUT 60)

file(GLOB KV_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
# Benchmarks of the windows (*_win.cpp) run only in the Windows build.
list(FILTER KV_BENCH_SOURCES EXCLUDE REGEX "_win\\.cpp$")
foreach(src ${KV_BENCH_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE kelvora_core)
endforeach()

if(KV_FUZZ)
    # Coverage for the fuzzer in the core it drives.
    target_compile_options(kelvora_core PUBLIC -fsanitize=fuzzer-no-link)
    file(GLOB KV_FUZZ_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*_fuzz.cpp)
    foreach(src ${KV_FUZZ_SOURCES})
        get_filename_component(name ${src} NAME_WE)
        add_executable(${name} ${src})
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
        target_link_libraries(${name} PRIVATE kelvora_core)
    endforeach()
endif()
