# The six pictures and sounds, as the program's own table names them (media/media_files.h), so
# that the packages, the manual pages and the install tests hold the files the program reads:
#   TOVEMI_MEDIA_FILES           the bare names, in the table's order
#   TOVEMI_MEDIA_MAN(_JA)        the FILES entries of the English and Japanese manual pages
#   <build>/media_files.txt      the names, one a line, for the Windows package and the tests
set(_tovemi_table "${PROJECT_SOURCE_DIR}/media/media_files.h")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_tovemi_table}")
file(STRINGS "${_tovemi_table}" _tovemi_rows ENCODING UTF-8 REGEX "^ *{ *MediaUse::")
set(_tovemi_row "^ *{ MediaUse::[A-Za-z]+, u\"([^\"]+)\", \"([^\"]+)\", \"([^\"]+)\" },$")
set(TOVEMI_MEDIA_FILES "")
set(TOVEMI_MEDIA_MAN "")
set(TOVEMI_MEDIA_MAN_JA "")
foreach(_line IN LISTS _tovemi_rows)
    # A row split over lines, or written another way, would be left out of the packages.
    if(NOT _line MATCHES "${_tovemi_row}")
        message(FATAL_ERROR "media/media_files.h: not a row of one line: ${_line}")
    endif()
    list(APPEND TOVEMI_MEDIA_FILES "${CMAKE_MATCH_1}")
    string(APPEND TOVEMI_MEDIA_MAN ".TP\n.I ${CMAKE_MATCH_1}\n${CMAKE_MATCH_2}\n")
    string(APPEND TOVEMI_MEDIA_MAN_JA ".TP\n.I ${CMAKE_MATCH_1}\n${CMAKE_MATCH_3}\n")
endforeach()
if(NOT TOVEMI_MEDIA_FILES)
    message(FATAL_ERROR "media/media_files.h: no rows found")
endif()
string(STRIP "${TOVEMI_MEDIA_MAN}" TOVEMI_MEDIA_MAN)
string(STRIP "${TOVEMI_MEDIA_MAN_JA}" TOVEMI_MEDIA_MAN_JA)
list(JOIN TOVEMI_MEDIA_FILES "\n" _tovemi_names)
file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/media_files.txt" CONTENT "${_tovemi_names}\n" @ONLY)
