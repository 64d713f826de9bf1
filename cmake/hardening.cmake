# Debian's hardening flags, as dpkg-buildflags gives them to every package
# (stack protector, format checks, fortified functions, read-only
# relocations, immediate binding), on the interface library
# zorvik_hardening that what ships links. The optimisation and debugging
# flags stay the build type's. Fortified functions need the optimiser, so a
# Debug build goes without them rather than warn on every file.
find_program(ZORVIK_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT ZORVIK_DPKG_BUILDFLAGS)
  message(STATUS "dpkg-buildflags not found: building without Debian's hardening flags")
  return()
endif()

function(zorvik_buildflags variable out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${ZORVIK_DPKG_BUILDFLAGS} --get ${variable}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-(g.*|O.*|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

zorvik_buildflags(CPPFLAGS cppflags)
zorvik_buildflags(CXXFLAGS cxxflags)
zorvik_buildflags(LDFLAGS ldflags)
foreach(flag ${cppflags} ${cxxflags})
  if(flag MATCHES "^-D_FORTIFY_SOURCE")
    target_compile_options(zorvik_hardening INTERFACE $<$<NOT:$<CONFIG:Debug>>:${flag}>)
  else()
    target_compile_options(zorvik_hardening INTERFACE ${flag})
  endif()
endforeach()
target_link_options(zorvik_hardening INTERFACE ${ldflags})
