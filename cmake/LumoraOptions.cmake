# The project's build switches, and the compiler settings they choose for every target.
option(LUMORA_WERROR "Treat compiler warnings as errors" OFF)
set(LUMORA_SANITIZE "" CACHE STRING "Sanitizers to build with: empty, 'address,undefined' or 'thread'")
# The benchmarks measure Linux's scheduling and memory (/proc), so Windows builds without them, and
# so does a cross build for another Linux, whose programs would be measured under an emulator.
set(lumora_native_linux ON)
if(WIN32 OR CMAKE_CROSSCOMPILING)
  set(lumora_native_linux OFF)
endif()
option(LUMORA_BUILD_GUI "Build the Qt console (dialog layer, resources, application)" ON)
option(LUMORA_BUILD_BENCH "Build the benchmarks" ${lumora_native_linux})
option(LUMORA_BUILD_FUZZ "Build the libFuzzer targets with clang, instrumenting the whole project" OFF)
# A build that runs part of the suite compiles only that part: the thread sanitizer's build leaves
# out the folders with no thread of ours, the arm64 build those qemu does not run.
set(LUMORA_SKIP_TESTS "" CACHE STRING "Test folders to leave out: names below tests/, and fuzz for the replays")

# The end-to-end test drives the console through the virtual adapter, so it is built with the tests
# where the console runs on the build machine itself.
set(lumora_virtual_default OFF)
if(BUILD_TESTING AND lumora_native_linux)
  set(lumora_virtual_default ON)
endif()
option(LUMORA_BUILD_VIRTUAL "Build the virtual adapter and the wire monitor (trying the console without hardware)"
  ${lumora_virtual_default})

# Compiler settings shared by every target of the project.
add_library(lumora_options INTERFACE)
target_compile_options(lumora_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual -Wcast-align
  -Wnull-dereference -Wdouble-promotion -Wformat=2 -Wimplicit-fallthrough)
if(WIN32)
  # windows.h without its min and max macros, which break std::min and std::max, and without the
  # rarely used parts that slow every build.
  target_compile_definitions(lumora_options INTERFACE NOMINMAX WIN32_LEAN_AND_MEAN)
endif()
if(LUMORA_WERROR)
  target_compile_options(lumora_options INTERFACE -Werror)
endif()
if(LUMORA_SANITIZE)
  target_compile_options(lumora_options INTERFACE -fsanitize=${LUMORA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(lumora_options INTERFACE -fsanitize=${LUMORA_SANITIZE})
endif()
