# What an installation holds besides the program and its modules, and the
# Debian package made from it:
#   bin/zorvik, lib/<multiarch>/zorvik/*.so (CMakeLists.txt)
#   share/zorvik/{sanfran,seattle}.pal     the palettes
#   share/applications/zorvik.desktop      the applications menu entry
#   share/mime/packages/zorvik.xml         the LGMD model file type
#   share/icons/hicolor/*/apps/zorvik.*    the icon, 16 to 256 px and scalable
#   share/thumbnailers/zorvik.thumbnailer  thumbnails through `zorvik render`
#   share/man/man1/zorvik.1.gz             the manual page
#   share/metainfo/org.zorvik.Zorvik.metainfo.xml  what software centres show
#   share/bash-completion/completions/zorvik, share/zsh/vendor-completions/_zorvik
#   share/doc/zorvik/{copyright,changelog.gz}  the licence and the changes

set(ZORVIK_DATA ${CMAKE_SOURCE_DIR}/data)
set(ZORVIK_GENERATED ${CMAKE_BINARY_DIR}/generated)

# The changelog's latest entry carries the version and the release date;
# the version must be the project's, and the date goes on the manual page
# and into the AppStream release, so a build is the same on any day.
file(STRINGS ${CMAKE_SOURCE_DIR}/debian/changelog ZORVIK_CHANGELOG_HEAD LIMIT_COUNT 1)
if(NOT ZORVIK_CHANGELOG_HEAD MATCHES "^zorvik \\(${ZORVIK_VERSION}\\) ")
  message(FATAL_ERROR "debian/changelog begins with \"${ZORVIK_CHANGELOG_HEAD}\"; "
                      "its latest entry must be zorvik (${ZORVIK_VERSION})")
endif()
file(STRINGS ${CMAKE_SOURCE_DIR}/debian/changelog ZORVIK_CHANGELOG_TRAILER
     REGEX "^ -- " LIMIT_COUNT 1)
if(NOT ZORVIK_CHANGELOG_TRAILER MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "debian/changelog: no date in \"${ZORVIK_CHANGELOG_TRAILER}\"")
endif()
set(ZORVIK_MONTHS Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND ZORVIK_MONTHS ${CMAKE_MATCH_2} month)
math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
if(month LESS 10)
  set(month 0${month})
endif()
set(ZORVIK_RELEASE_DATE ${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1})
set(ZORVIK_MAN_DATE ${ZORVIK_RELEASE_DATE})

configure_file(${ZORVIK_DATA}/zorvik.1.in ${ZORVIK_GENERATED}/zorvik.1 @ONLY)
configure_file(${ZORVIK_DATA}/org.zorvik.Zorvik.metainfo.xml.in
               ${ZORVIK_GENERATED}/org.zorvik.Zorvik.metainfo.xml @ONLY)

# Debian wants the manual page and the changelog compressed, without a
# time stamp in the gzip header so that rebuilds are identical.
find_program(ZORVIK_GZIP gzip REQUIRED)
set(ZORVIK_COMPRESSED)
foreach(pair "${ZORVIK_GENERATED}/zorvik.1|zorvik.1.gz"
             "${CMAKE_SOURCE_DIR}/debian/changelog|changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 name)
  add_custom_command(OUTPUT ${ZORVIK_GENERATED}/${name}
    COMMAND ${ZORVIK_GZIP} -9nc ${source} > ${ZORVIK_GENERATED}/${name}
    DEPENDS ${source} VERBATIM)
  list(APPEND ZORVIK_COMPRESSED ${ZORVIK_GENERATED}/${name})
endforeach()
add_custom_target(zorvik_docs ALL DEPENDS ${ZORVIK_COMPRESSED})
set(ZORVIK_ICON_SIZES 16 22 24 32 48 64 128 256)

install(FILES ${CMAKE_SOURCE_DIR}/samples/palettes/sanfran.pal
              ${CMAKE_SOURCE_DIR}/samples/palettes/seattle.pal
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zorvik)
install(FILES ${ZORVIK_DATA}/zorvik.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZORVIK_DATA}/zorvik-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME zorvik.xml)
foreach(size ${ZORVIK_ICON_SIZES})
  install(FILES ${ZORVIK_DATA}/icons/zorvik-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME zorvik.png)
endforeach()
install(FILES ${ZORVIK_DATA}/icons/zorvik.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${ZORVIK_DATA}/zorvik.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES ${ZORVIK_GENERATED}/zorvik.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${ZORVIK_GENERATED}/org.zorvik.Zorvik.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ZORVIK_DATA}/zorvik.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME zorvik)
install(FILES ${ZORVIK_DATA}/_zorvik DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
install(FILES ${CMAKE_SOURCE_DIR}/debian/copyright ${ZORVIK_GENERATED}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zorvik)
# A direct install tells the desktop about the new files at once; a package
# leaves that to the package manager's triggers.
install(SCRIPT ${CMAKE_SOURCE_DIR}/cmake/refresh_desktop_caches.cmake)

# cpack -G DEB, from a Release build: the binaries are stripped on the way
# into the package.
set(CPACK_PACKAGE_NAME zorvik)
set(CPACK_PACKAGE_VENDOR Zorvik)
set(CPACK_PACKAGE_VERSION ${ZORVIK_VERSION})
set(CPACK_PACKAGE_CONTACT "${ZORVIK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZORVIK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZORVIK_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for the 3D models of a classic flight simulator")
# The paragraph below the summary, as one string: CMake joins a list of
# strings with ";", which would open every line after the first.
set(CPACK_PACKAGE_DESCRIPTION "Zorvik opens binary LGMD model files (.bin), shows them textured or as
wireframe with one of two scenery palettes, and exports them as trueSpace,
glTF 2.0 or Wavefront OBJ. It registers the model file type with the desktop
and gives file managers thumbnails of model folders.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The package provides no library for others to link.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The modules are loaded by the program rather than linked; the scan finds
# their libraries all the same.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri, libegl-mesa0, shared-mime-info, desktop-file-utils")
include(CPack)

# tools/make_icons: draws the icons above with the program's own code.
# Only needs building when the icon drawing changes.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(ZORVIK_CAIRO QUIET IMPORTED_TARGET cairo)
endif()
if(ZORVIK_CAIRO_FOUND)
  add_executable(make_icons EXCLUDE_FROM_ALL tools/make_icons/main.cpp)
  target_link_libraries(make_icons PRIVATE zorvik_gui PkgConfig::ZORVIK_CAIRO)
endif()
