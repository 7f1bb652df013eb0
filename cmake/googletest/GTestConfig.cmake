# GoogleTest for the Windows cross build: built from the sources Debian's
# googletest package ships, with the cross compiler, into this build tree.
# The windows preset points GTest_DIR here, so find_package(GTest) gives
# GTest::gtest and GTest::gtest_main as it does with the installed package.
include_guard(GLOBAL)

set(IITCALC_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")
if(NOT EXISTS ${IITCALC_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  set(GTest_FOUND FALSE)
  set(GTest_NOT_FOUND_MESSAGE "no GoogleTest sources in ${IITCALC_GOOGLETEST_SOURCE_DIR} (Debian package googletest)")
  return()
endif()

set(BUILD_GMOCK OFF)
set(INSTALL_GTEST OFF)
add_subdirectory(${IITCALC_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
if(NOT TARGET GTest::gtest_main) # GoogleTest 1.12 names them itself
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
