# What an installation holds besides the program and its modules, and the
# Debian package made from it:
#   bin/zorvik, lib/zorvik/*.so            (CMakeLists.txt)
#   share/zorvik/{sanfran,seattle}.pal     the palettes
#   share/applications/zorvik.desktop      the applications menu entry
#   share/mime/packages/zorvik.xml         the LGMD model file type
#   share/icons/hicolor/*/apps/zorvik.*    the icon, 16 to 256 px and scalable
#   share/thumbnailers/zorvik.thumbnailer  thumbnails through `zorvik render`
#   share/man/man1/zorvik.1                the manual page

set(ZORVIK_DATA ${CMAKE_SOURCE_DIR}/data)
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
install(FILES ${ZORVIK_DATA}/zorvik.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# A direct install tells the desktop about the new files at once; a package
# leaves that to the package manager's triggers.
install(SCRIPT ${CMAKE_SOURCE_DIR}/cmake/refresh_desktop_caches.cmake)

# cpack -G DEB
set(CPACK_PACKAGE_NAME zorvik)
set(CPACK_PACKAGE_VENDOR Zorvik)
set(CPACK_PACKAGE_CONTACT "Zorvik developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for the 3D models of a classic flight simulator")
set(CPACK_PACKAGE_DESCRIPTION
    "Zorvik opens binary LGMD model files (.bin), shows them textured or as\n"
    "wireframe with one of two scenery palettes, and exports them as trueSpace,\n"
    "glTF 2.0 or Wavefront OBJ. It registers the model file type with the desktop\n"
    "and gives file managers thumbnails of model folders.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
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
