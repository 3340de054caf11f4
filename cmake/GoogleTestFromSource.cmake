# GoogleTest and GoogleMock built from source with the project's own compiler, for a cross build:
# Debian's googletest package installs the sources, and its libraries only fit the host.
set(LUMORA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source tree (Debian: googletest)")
if(NOT EXISTS ${LUMORA_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${LUMORA_GOOGLETEST_SOURCE}: install Debian's googletest, "
    "or set LUMORA_GOOGLETEST_SOURCE to an unpacked GoogleTest release")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${LUMORA_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(library gtest gmock)
  if(NOT TARGET GTest::${library})
    add_library(GTest::${library} ALIAS ${library})
  endif()
endforeach()
