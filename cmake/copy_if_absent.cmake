# Copies SRC to DST unless DST already exists.
if(NOT EXISTS "${SRC}")
  message(WARNING "${SRC} is missing; nothing copied")
elseif(NOT EXISTS "${DST}")
  configure_file("${SRC}" "${DST}" COPYONLY)
endif()
