# lumora_add_module(<name> SOURCES ... [LIBS ...]): one static library per source folder.
# A product folder's headers are reached as "<folder>/<Header>.h" through an include folder of its
# own that holds only them, and a library sees the folders of the libraries it links and no others:
# a lower folder that includes a higher one fails to compile. The stand-ins see all of src/.
function(lumora_add_module name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(lumora_${name} STATIC ${ARG_SOURCES})
  set(product_dir ${PROJECT_SOURCE_DIR}/src)
  cmake_path(IS_PREFIX product_dir "${CMAKE_CURRENT_SOURCE_DIR}" NORMALIZE in_product)
  if(in_product)
    lumora_module_headers(lumora_${name})
  else()
    target_include_directories(lumora_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  endif()
  target_link_libraries(lumora_${name} PUBLIC ${ARG_LIBS} PRIVATE lumora_options)
endfunction()

# lumora_module_headers(<target>): gives the target an include folder in which each header of the
# current source folder stands as a one-line header that includes it, under the folder's name. The
# folder alone is lumora_<folder>_headers, for a library that uses the folder's types but not its
# code.
function(lumora_module_headers target)
  cmake_path(GET CMAKE_CURRENT_SOURCE_DIR FILENAME folder)
  set(root ${CMAKE_BINARY_DIR}/include/${folder})
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(header IN LISTS headers)
    cmake_path(GET header FILENAME file)
    file(CONFIGURE OUTPUT ${root}/${folder}/${file} CONTENT "#pragma once\n#include \"${header}\"\n")
  endforeach()
  add_library(lumora_${folder}_headers INTERFACE)
  target_include_directories(lumora_${folder}_headers INTERFACE ${root})
  target_link_libraries(${target} PUBLIC lumora_${folder}_headers)
endfunction()

# Listing a test program's cases takes a moment; under an emulator (qemu-user, for the arm64 build)
# it takes longer, and on a busy machine longer still.
if(CMAKE_CROSSCOMPILING)
  set(LUMORA_DISCOVERY_TIMEOUT 300)
else()
  set(LUMORA_DISCOVERY_TIMEOUT 60)
endif()

# lumora_add_test(<name> SOURCES ... [LIBS ...] [TIMEOUT s] [GUI] [NOT_ON_WINDOWS <filter>]): one
# test executable, its cases registered one by one (in a Windows build less those that match the
# GoogleTest filter NOT_ON_WINDOWS, the caller saying why); every case gets a timeout so a hang fails instead of stalling CI.
# Under Wine a program's start and end cost the machine about a second and a half, many times what a
# case takes, so the Windows build runs each program whole, as one entry named and labelled after it,
# with the time of several cases.
# The timeout leaves room for a few waits to run into the tests' 30 s hang guard (WaitFor.h) one
# after another, so that they report what they waited for; a target whose cases wait longer in
# sequence sets its own.
function(lumora_add_test name)
  cmake_parse_arguments(ARG "GUI" "TIMEOUT;NOT_ON_WINDOWS" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  # Under an emulator a test process's start and end can take minutes on a busy machine, though
  # Wine's server is already up. The timeout is the case's own, so that time comes on top.
  if(CMAKE_CROSSCOMPILING)
    math(EXPR ARG_TIMEOUT "${ARG_TIMEOUT} + ${LUMORA_DISCOVERY_TIMEOUT}")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} lumora_test_support GTest::gtest GTest::gmock lumora_options)
  if(ARG_GUI)
    target_link_libraries(${name} PRIVATE lumora_qt_test_main)
    if(WIN32)
      # So that the program finds Qt when its tests run it.
      lumora_qt_beside_program(${name} Core Gui Widgets Test)
    endif()
  else()
    target_link_libraries(${name} PRIVATE lumora_test_main)
  endif()
  set(filter "*")
  if(WIN32 AND ARG_NOT_ON_WINDOWS)
    set(filter "-${ARG_NOT_ON_WINDOWS}")
  endif()
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_filter=${filter})
    math(EXPR whole_program_timeout "${ARG_TIMEOUT} * 4")
    set_tests_properties(${name} PROPERTIES TIMEOUT ${whole_program_timeout} LABELS ${name})
    return()
  endif()
  gtest_discover_tests(${name}
    TEST_FILTER "${filter}"
    DISCOVERY_TIMEOUT ${LUMORA_DISCOVERY_TIMEOUT}
    PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS ${name})
endfunction()
