# Windows build (mingw-w64): the shell, kelvora.exe and the Windows-side tests.
enable_language(RC)
set(KV_STATIC_LINK -static -static-libgcc -static-libstdc++)
set(KV_WIN_LIBS winmm msacm32 comdlg32 shell32 gdi32 user32 advapi32 ole32 uuid)

target_compile_definitions(kelvora_core PUBLIC UNICODE=0 WINVER=0x0601 _WIN32_WINNT=0x0601)

# Everything but WinMain, so in-process tests can run the real start-up.
add_library(kelvora_app STATIC ${KV_SHELL_SOURCES})
target_link_libraries(kelvora_app PUBLIC kelvora_core ${KV_WIN_LIBS})
target_compile_options(kelvora_app PRIVATE ${KV_WARNINGS})

set(KV_RC ${CMAKE_SOURCE_DIR}/res/kelvora.rc)
file(GLOB KV_RC_BITMAPS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.bmp)
set_source_files_properties(${KV_RC} PROPERTIES
    OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/res/strings.inc;${CMAKE_SOURCE_DIR}/res/effect_dialogs.rc;${CMAKE_SOURCE_DIR}/res/option_dialogs.rc;${CMAKE_SOURCE_DIR}/res/device_dialogs.rc;${CMAKE_SOURCE_DIR}/res/resource.h;${CMAKE_SOURCE_DIR}/res/kelvora.manifest;${KV_RC_BITMAPS}")

add_executable(kelvora WIN32 ${KV_WINMAIN} ${KV_RC})
target_link_libraries(kelvora PRIVATE kelvora_app)
target_link_options(kelvora PRIVATE ${KV_STATIC_LINK})
# The 32-bit program may use 4 GB of address space on 64-bit Windows.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(kelvora PRIVATE -Wl,--large-address-aware)
endif()
# The shipped program carries no debug information: it is kept beside it in
# kelvora.dbg, which debuggers find through the program's debug link.
add_custom_command(TARGET kelvora POST_BUILD
    WORKING_DIRECTORY $<TARGET_FILE_DIR:kelvora>
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:kelvora> kelvora.dbg
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --strip-unneeded --add-gnu-debuglink=kelvora.dbg $<TARGET_FILE_NAME:kelvora>
    VERBATIM)

# GoogleTest built from Debian's sources for this target.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# Elsewhere (MSYS2 on Windows) the installed package is used.
if(EXISTS /usr/src/googletest/CMakeLists.txt)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
    find_package(GTest REQUIRED)
    add_library(gtest ALIAS GTest::gtest)
    add_library(gtest_main ALIAS GTest::gtest_main)
endif()

# Each Windows-side test file is its own program: the in-process tests run the
# real start-up, whose single objects live once per process.
file(GLOB KV_WIN_TESTS CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/tests/win/*_test.cpp ${CMAKE_SOURCE_DIR}/tests/e2e/*_test.cpp)
foreach(src ${KV_WIN_TESTS})
    get_filename_component(name ${src} NAME_WE)
    get_filename_component(dir ${src} DIRECTORY)
    get_filename_component(layer ${dir} NAME)
    set(target ${layer}_${name})
    add_executable(${target} ${src} ${KV_RC})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_link_libraries(${target} PRIVATE kelvora_app gtest gtest_main)
    target_link_options(${target} PRIVATE ${KV_STATIC_LINK})
    target_compile_definitions(${target} PRIVATE
        KV_EXE_PATH="$<TARGET_FILE:kelvora>")
    add_dependencies(${target} kelvora)
    if(EXISTS ${dir}/with_capture.sh AND name MATCHES "^audio_")
        # Audio tests read what the sink received: the script records its monitor.
        # WINEPREFIX and the display come from the test script's environment;
        # Wine passes environment variables through to the program.
        add_test(NAME ${target} COMMAND ${dir}/with_capture.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
            $<TARGET_FILE:${target}>)
    elseif(EXISTS ${dir}/with_own_prefix.sh AND name MATCHES "^registration_")
        # Registration, install and uninstall change the prefix: they get their own.
        add_test(NAME ${target} COMMAND ${dir}/with_own_prefix.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
            $<TARGET_FILE:${target}>)
    else()
        add_test(NAME ${target} COMMAND ${target})
    endif()
    set_tests_properties(${target} PROPERTIES TIMEOUT 120)
endforeach()

# A small demo sound beside kelvora.exe, for the run script.
find_program(KV_SOX sox)
if(KV_SOX)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/demo.wav
        COMMAND ${KV_SOX} -n -r 22050 -b 16 -c 1 ${CMAKE_BINARY_DIR}/demo.wav
                synth 3 sine 220-880 sine 330-660 remix - fade 0.05 3 0.6 vol 0.6
        VERBATIM)
    add_custom_target(demo_sound ALL DEPENDS ${CMAKE_BINARY_DIR}/demo.wav)
endif()

# Sound files made by SoX for the compression manager tests: a file of each
# codec Wine has and SoX's own 16-bit decode of it, and 24-bit, float and
# extensible files with their 16-bit versions (raw little-endian samples,
# made without dither).
if(KV_SOX AND TARGET win_acm_test)
    set(KV_FIXTURES ${CMAKE_BINARY_DIR}/fixtures)
    set(fixture_commands)
    set(fixture_outputs)
    foreach(pair alaw:a-law ulaw:u-law gsm:gsm-full-rate ima:ima-adpcm ms:ms-adpcm)
        string(REPLACE ":" ";" pair ${pair})
        list(GET pair 0 name)
        list(GET pair 1 encoding)
        # The telephone codecs take 8000 Hz mono; the ADPCM ones stereo 22050 Hz,
        # a length that ends inside a block.
        set(tone ${KV_FIXTURES}/tone8k.wav)
        if(name STREQUAL ima OR name STREQUAL ms)
            set(tone ${KV_FIXTURES}/tone22s.wav)
        endif()
        list(APPEND fixture_commands
            COMMAND ${KV_SOX} -D ${tone} -e ${encoding} ${KV_FIXTURES}/${name}.wav
            COMMAND ${KV_SOX} -D ${KV_FIXTURES}/${name}.wav -t raw -e signed-integer -b 16 ${KV_FIXTURES}/${name}.raw)
        list(APPEND fixture_outputs ${KV_FIXTURES}/${name}.wav ${KV_FIXTURES}/${name}.raw)
    endforeach()
    foreach(wide p24 w24 w32 f32)
        set(options -b 24 -t wavpcm)
        if(wide STREQUAL w24)
            set(options -b 24)
        elseif(wide STREQUAL w32)
            set(options -b 32)
        elseif(wide STREQUAL f32)
            set(options -e floating-point -b 32)
        endif()
        list(APPEND fixture_commands
            COMMAND ${KV_SOX} -D -n -r 22050 -c 2 ${options} ${KV_FIXTURES}/${wide}.wav
                    synth 0.5 sine 440 sine 660 vol 0.9
            COMMAND ${KV_SOX} -D ${KV_FIXTURES}/${wide}.wav -t raw -e signed-integer -b 16 ${KV_FIXTURES}/${wide}.raw)
        list(APPEND fixture_outputs ${KV_FIXTURES}/${wide}.wav ${KV_FIXTURES}/${wide}.raw)
    endforeach()
    add_custom_command(OUTPUT ${fixture_outputs}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${KV_FIXTURES}
        COMMAND ${KV_SOX} -D -n -r 8000 -b 16 -c 1 ${KV_FIXTURES}/tone8k.wav synth 1.3 sine 300-2000 vol 0.5
        COMMAND ${KV_SOX} -D -n -r 22050 -b 16 -c 2 ${KV_FIXTURES}/tone22s.wav synth 1.1 sine 300-2000 sine 500 vol 0.4
        ${fixture_commands}
        VERBATIM)
    add_custom_target(acm_fixtures DEPENDS ${fixture_outputs})
    add_dependencies(win_acm_test acm_fixtures)
    target_compile_definitions(win_acm_test PRIVATE KV_FIXTURE_DIR="${KV_FIXTURES}")
endif()

# Core tests whose subject behaves differently on the Windows C library (file
# access switching between reading and writing) run here too.
add_executable(win_core_file_tests
    ${CMAKE_SOURCE_DIR}/tests/sound/file_test.cpp ${CMAKE_SOURCE_DIR}/tests/sound/riff_test.cpp)
target_include_directories(win_core_file_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(win_core_file_tests PRIVATE kelvora_core gtest gtest_main)
target_link_options(win_core_file_tests PRIVATE ${KV_STATIC_LINK})
add_test(NAME win_core_file_tests COMMAND win_core_file_tests)

# Benchmarks print figures; they are run by scripts/bench.sh, not by CTest.
# psapi: the peak working set a load leaves behind.
# Those named *_win_bench.cpp measure the windows themselves and link the shell.
file(GLOB KV_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
foreach(src ${KV_BENCH_SOURCES})
    get_filename_component(name ${src} NAME_WE)
    if(name MATCHES "_win_bench$")
        add_executable(${name} ${src} ${KV_RC})
        target_link_libraries(${name} PRIVATE kelvora_app psapi)
        target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
        # The whole-job benchmark starts the shipped program itself.
        target_compile_definitions(${name} PRIVATE KV_EXE_PATH="$<TARGET_FILE:kelvora>")
        add_dependencies(${name} kelvora)
    else()
        add_executable(${name} ${src})
        target_link_libraries(${name} PRIVATE kelvora_core psapi)
        if(name STREQUAL "clip_bench")
            # It times the Copy command itself, clipboard and all.
            target_link_libraries(${name} PRIVATE kelvora_app)
        endif()
    endif()
    target_link_options(${name} PRIVATE ${KV_STATIC_LINK})
endforeach()

# A command sender for the screenshot script.
add_executable(kv_send ${CMAKE_SOURCE_DIR}/tools/send_command.cpp)
target_link_options(kv_send PRIVATE ${KV_STATIC_LINK})
