# The Windows build, cross-compiled with MinGW-w64 (cmake/mingw-w64.cmake)
# against the static libraries scripts/build-windows.sh makes. One folder
# holds everything: zorvik.exe (the window, no console), zorvik.com (the
# same program as a console program, which cmd.exe prefers when a command
# is typed), the palettes and zorvik.cfg. Nothing is loaded at run time
# but Windows' own DLLs.
# Test programs run under Wine on a build machine that is not Windows.
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(ZORVIK_WINE wine)
  if(ZORVIK_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ZORVIK_WINE})
  endif()
endif()

option(ZORVIK_WINDOW "Build the window (wxWidgets); off builds the headless commands only" ON)

find_package(OpenGL REQUIRED COMPONENTS OpenGL)
if(ZORVIK_WINDOW)
  # The static wxWidgets for MinGW, not the host's.
  set(wxWidgets_CONFIG_EXECUTABLE ${ZORVIK_WIN64_PREFIX}/bin/wx-config)
  find_package(wxWidgets 3.2 REQUIRED COMPONENTS aui gl core base)
  # wx-config makes every program a window program; zorvik.com is not.
  list(REMOVE_ITEM wxWidgets_LIBRARIES -mwindows -Wl,--subsystem,windows)
endif()
find_package(PNG REQUIRED)

# The header-only libraries (and glTF's header), copied from Debian's packages into the cache,
# so the cross build never reads the host's /usr/include.
foreach(lib CLI11::CLI11 nlohmann_json::nlohmann_json TinyGLTF::TinyGLTF)
  add_library(${lib} INTERFACE IMPORTED)
  target_include_directories(${lib} SYSTEM INTERFACE ${ZORVIK_WIN64_PREFIX}/headers)
endforeach()
# glTF's code itself is a library of its own.
target_link_libraries(TinyGLTF::TinyGLTF INTERFACE ${ZORVIK_WIN64_PREFIX}/lib/libtinygltf.a)
add_library(meshoptimizer::meshoptimizer STATIC IMPORTED)
set_target_properties(meshoptimizer::meshoptimizer PROPERTIES
  IMPORTED_LOCATION ${ZORVIK_WIN64_PREFIX}/lib/libmeshoptimizer.a
  INTERFACE_INCLUDE_DIRECTORIES ${ZORVIK_WIN64_PREFIX}/include)
# The import library, for the import worker alone, with the zip reader and
# zlib it reads zipped formats through.
add_library(assimp::assimp STATIC IMPORTED)
set_target_properties(assimp::assimp PROPERTIES
  IMPORTED_LOCATION ${ZORVIK_WIN64_PREFIX}/lib/libassimp.a
  INTERFACE_INCLUDE_DIRECTORIES "${ZORVIK_WIN64_PREFIX}/include;${ZORVIK_WIN64_PREFIX}/headers"
  INTERFACE_LINK_LIBRARIES "${ZORVIK_WIN64_PREFIX}/lib/libminizip.a;${ZORVIK_WIN64_PREFIX}/lib/libz.a")

# UTF-8 inside, UTF-16 at the system's calls; Windows 7's API level and up;
# M_PI and friends, which glibc offers without asking.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601
                        _USE_MATH_DEFINES)

# The resources of both programs (src/app/zorvik.rc): the icon, made here
# from the PNG icons of data/icons, the manifest, and, with the window,
# wxWidgets' own resources.
enable_language(RC)
find_program(ZORVIK_CONVERT convert)
if(NOT ZORVIK_CONVERT)
  message(FATAL_ERROR "ImageMagick's convert makes the program's icon; install imagemagick")
endif()
set(ZORVIK_ICON_SIZES 16 22 24 32 48 64 128 256)
list(TRANSFORM ZORVIK_ICON_SIZES REPLACE "(.+)" "${CMAKE_SOURCE_DIR}/data/icons/zorvik-\\1.png"
     OUTPUT_VARIABLE ZORVIK_ICON_PNGS)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/zorvik.ico
  COMMAND ${ZORVIK_CONVERT} ${ZORVIK_ICON_PNGS} ${CMAKE_BINARY_DIR}/zorvik.ico
  DEPENDS ${ZORVIK_ICON_PNGS}
  COMMENT "Making zorvik.ico"
  VERBATIM)
add_library(zorvik_resources OBJECT src/app/zorvik.rc ${CMAKE_BINARY_DIR}/zorvik.ico)
set_source_files_properties(src/app/zorvik.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/zorvik.ico;${CMAKE_SOURCE_DIR}/src/app/zorvik.manifest")
target_include_directories(zorvik_resources PRIVATE ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR}/src/app)
if(ZORVIK_WINDOW)
  target_include_directories(zorvik_resources PRIVATE ${wxWidgets_INCLUDE_DIRS})
  target_compile_definitions(zorvik_resources PRIVATE ZORVIK_WX_RESOURCES)
endif()

# The program twice from the same objects: zorvik.exe for the window,
# zorvik.com for the console; and beside them the import worker, which
# both start.
function(zorvik_windows_program target)
  # Objects, not an archive: the command layer calls into them.
  add_library(zorvik_windows OBJECT src/cli/render_module.cpp)
  target_link_libraries(zorvik_windows PUBLIC zorvik_cli zorvik_doc)
  if(ZORVIK_WINDOW)
    target_sources(zorvik_windows PRIVATE src/app/viewer_module.cpp)
    target_link_libraries(zorvik_windows PUBLIC zorvik_gui)
    # The command layer starts the window when no command is named.
    target_compile_definitions(zorvik_cli PRIVATE ZORVIK_HAS_WINDOW=1)
  endif()
  target_link_libraries(${target} PRIVATE zorvik_windows zorvik_resources)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  add_executable(zorvik_console src/cli/main.cpp)
  target_link_libraries(zorvik_console PRIVATE zorvik_windows zorvik_resources)
  set_target_properties(zorvik_console PROPERTIES OUTPUT_NAME zorvik SUFFIX .com)
  target_link_options(zorvik_console PRIVATE -mconsole)

  # The portable zip: the programs, the import worker, the palettes, a
  # default configuration, README and LICENSE in one folder.
  set(name zorvik-${ZORVIK_VERSION}-win64)
  set(stage ${CMAKE_BINARY_DIR}/zip/${name})
  add_custom_target(zorvik_zip ALL
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/zip ${CMAKE_BINARY_DIR}/${name}.zip
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> $<TARGET_FILE:zorvik_console>
            $<TARGET_FILE:zorvik-import-worker> ${CMAKE_SOURCE_DIR}/samples/palettes/sanfran.pal
            ${CMAKE_SOURCE_DIR}/samples/palettes/seattle.pal ${CMAKE_SOURCE_DIR}/data/zorvik.cfg
            ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE ${stage}
    COMMAND ${CMAKE_STRIP} ${stage}/zorvik.exe ${stage}/zorvik.com
            ${stage}/$<TARGET_FILE_NAME:zorvik-import-worker>
    COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/zip
            ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/${name}.zip --format=zip ${name}
    DEPENDS ${target} zorvik_console zorvik-import-worker
    BYPRODUCTS ${CMAKE_BINARY_DIR}/${name}.zip
    COMMENT "Packing ${name}.zip"
    VERBATIM)
endfunction()

# The test programs that need no window, run under Wine through CMake's
# cross-compiling emulator: the model and export tests that need no POSIX
# call of their own, and the tests of the Windows side itself.
function(zorvik_windows_tests)
  if(NOT ZORVIK_TESTS)
    return()
  endif()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  add_library(lgmd_builder STATIC tools/lgmd_builder/lgmd_builder.cpp)
  target_include_directories(lgmd_builder PUBLIC tools)
  target_link_libraries(lgmd_builder PUBLIC zorvik_io)
  add_library(zorvik_test_support STATIC tests/support/recording_platform.cpp
                                         tests/support/temp_dir.cpp)
  target_include_directories(zorvik_test_support PUBLIC tests src)
  target_link_libraries(zorvik_test_support PUBLIC zorvik_doc lgmd_builder)

  file(GLOB sources CONFIGURE_DEPENDS tests/model/*.cpp tests/convert/*.cpp tests/io/*.cpp
       tests/windows/*.cpp)
  foreach(source ${sources})
    file(STRINGS ${source} posix REGEX "#include <(unistd|fcntl|sys/)")
    if(posix)
      list(REMOVE_ITEM sources ${source})
    endif()
  endforeach()
  add_executable(windows_tests ${sources})
  # The child the runner's tests start, beside the test program.
  add_executable(zorvik_child_helper tests/windows/helper/child_helper.cpp)
  add_dependencies(windows_tests zorvik_child_helper)
  target_link_libraries(windows_tests PRIVATE zorvik_test_support zorvik_convert GTest::gtest
                                              GTest::gmock GTest::gtest_main)
  target_include_directories(windows_tests SYSTEM PRIVATE ${ZORVIK_WIN64_PREFIX}/headers)
  target_compile_definitions(windows_tests PRIVATE ZORVIK_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                                   ZORVIK_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # GCC 12 takes some inlined copies of strings and vectors for reads and
  # writes out of bounds (false positives, fixed in 13); the tests and the
  # model builder make many.
  if(CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    foreach(target windows_tests lgmd_builder zorvik_test_support)
      target_compile_options(${target} PRIVATE -Wno-array-bounds -Wno-stringop-overflow
                                               -Wno-stringop-overread -Wno-restrict)
    endforeach()
  endif()
  gtest_discover_tests(windows_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES LABELS windows TIMEOUT 300)
  if(ZORVIK_WINDOW)
    zorvik_windows_window_tests(app)
    zorvik_windows_window_tests(view)
  endif()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/test_labels.cmake)

# The window tests of tests/<dir> as a Windows program, linked as zorvik.exe
# is (the toolkit, the resources with the manifest of the common controls),
# each test in the Wine display the test script starts. What only Linux
# has stays out: files and tests named below, each group with its reason.
function(zorvik_windows_window_tests dir)
  file(GLOB sources CONFIGURE_DEPENDS tests/${dir}/*.cpp)
  # Start the real program and find its window by the X tools (xdotool's
  # search, the window manager's frame), and GTK's own file chooser.
  list(FILTER sources EXCLUDE REGEX "/(command_line_test|file_dialogs_test)\\.cpp$")
  set(target windows_${dir}_tests)
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE zorvik_gui zorvik_resources zorvik_test_support
                                          GTest::gtest GTest::gmock)
  target_include_directories(${target} PRIVATE tests/${dir})
  target_compile_definitions(${target} PRIVATE ZORVIK_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                                               ZORVIK_BINARY_DIR="${CMAKE_BINARY_DIR}")
  target_precompile_headers(${target} PRIVATE <gtest/gtest.h> <filesystem> <fstream> <string>
                            <vector> <wx/wx.h>)
  if(CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-array-bounds -Wno-stringop-overflow
                                             -Wno-stringop-overread -Wno-restrict)
  endif()
  set(excluded
      # On Windows a backslash separates folders; it cannot be part of a name.
      FileOpenTest.ABackslashInTheNameIsPartOfTheName
      # Wine's GDI+ draws the icon's shapes without smoothing their edges,
      # so the drawing differs from data/icons at every edge (the shapes
      # and colours are the same; Explorer shows data/icons themselves,
      # from the program's resources).
      DesktopIcons.*
      # Wine without a window manager marks a window shown maximised as
      # maximised but leaves it at its normal size.
      DesktopWindowTest.WindowStateIsKeptBetweenRuns
      # Wine's own file dialog: its name field starts unselected, so typing
      # adds to the offered name, and a stuck one cannot be cancelled.
      FileSaveTest.NameTypedWithoutExtensionGetsCob
      # Wine's dialog font fills the count boxes to their sunken edges, where
      # the test's ink measure does not look (the texts stand within a pixel).
      ViewCommandsTest.ModelInformationLabelsStandLevelWithTheirCounts)
  list(JOIN excluded ":" excluded)
  # One window test at a time: they share the display, its pointer and
  # keyboard, and Wine's one desktop.
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       TEST_FILTER "-${excluded}"
                       PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
  zorvik_label_discovered_tests(${target} windows window)
endfunction()
