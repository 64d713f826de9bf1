# Runs at install time: the desktop's caches of file types, menu entries
# and icons learn of the installed files. Skipped for a staged install (a
# package, DESTDIR), whose package manager runs these itself; a missing
# tool or a failure is no reason to fail the install.
set(prefix "${CMAKE_INSTALL_PREFIX}")
if(DEFINED ENV{DESTDIR} OR prefix MATCHES "_CPack_Packages")
  return()
endif()
set(share "${prefix}/share")
find_program(UPDATE_MIME update-mime-database)
find_program(UPDATE_DESKTOP update-desktop-database)
find_program(UPDATE_ICONS gtk-update-icon-cache)
if(UPDATE_MIME)
  execute_process(COMMAND ${UPDATE_MIME} "${share}/mime" OUTPUT_QUIET ERROR_QUIET)
endif()
if(UPDATE_DESKTOP)
  execute_process(COMMAND ${UPDATE_DESKTOP} -q "${share}/applications" OUTPUT_QUIET ERROR_QUIET)
endif()
if(UPDATE_ICONS AND EXISTS "${share}/icons/hicolor/index.theme")
  execute_process(COMMAND ${UPDATE_ICONS} -q -t "${share}/icons/hicolor" OUTPUT_QUIET ERROR_QUIET)
endif()
