# GoogleTest for the Windows cross build, compiled from Debian's sources
# (package googletest): the host's libgtest is a Linux library. The win32
# presets point GTest_DIR here, so the tests' find_package(GTest) lands here.
set(tallowick_googletest_source /usr/src/googletest)
if(NOT EXISTS ${tallowick_googletest_source}/CMakeLists.txt)
    set(GTest_FOUND FALSE)
    set(GTest_NOT_FOUND_MESSAGE "GoogleTest sources not found in ${tallowick_googletest_source} (Debian package googletest)")
    return()
endif()

if(NOT TARGET gtest)
    # The win32-threads runtime has no pthreads; GoogleTest then uses the
    # Windows primitives.
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${tallowick_googletest_source} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    foreach(library gtest gtest_main gmock gmock_main)
        # Its own warnings are not ours to read.
        target_compile_options(${library} PRIVATE -w)
        # A Notification without std::mutex (see the header).
        target_include_directories(${library} BEFORE PUBLIC ${CMAKE_CURRENT_LIST_DIR}/include)
    endforeach()
endif()

foreach(library gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${library})
        add_library(GTest::${library} ALIAS ${library})
    endif()
endforeach()
set(GTest_FOUND TRUE)
