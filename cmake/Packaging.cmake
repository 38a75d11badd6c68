# Installing Tovemi as a desktop program, and its Debian package.
#
# Layout under the prefix: bin/tovemi; share/tovemi/ the six pictures and sounds, which the
# program reads by bare name from its working directory, so the desktop entry starts it there;
# the desktop entry, the AppStream metainfo and the bird icon in the hicolor theme, all named
# after one application id.

set(TOVEMI_APP_ID "io.github.tovemi.Tovemi")
set(TOVEMI_MEDIA_DIR "${CMAKE_INSTALL_DATADIR}/tovemi")
set(_tovemi_packaging "${PROJECT_SOURCE_DIR}/packaging")

list(TRANSFORM TOVEMI_MEDIA_FILES PREPEND "media/files/" OUTPUT_VARIABLE _tovemi_media)
install(FILES ${_tovemi_media} DESTINATION "${TOVEMI_MEDIA_DIR}")

install(FILES "${_tovemi_packaging}/${TOVEMI_APP_ID}.metainfo.xml"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

foreach(size 32 48 64 128 256)
    if(size EQUAL 32)
        set(picture resources/bird.png)
    else()
        set(picture resources/bird-${size}.png)
    endif()
    install(FILES ${picture}
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
        RENAME "${TOVEMI_APP_ID}.png")
endforeach()

install(FILES "${_tovemi_packaging}/copyright" DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/tovemi")

# The changelog and the manual pages go in compressed with gzip -9n, as Debian has them: -n
# leaves out the name and time, so the files are the same from one build to the next. They are
# made when configuring, so that an install after building the program alone finds them too.
# The package's version is a project's own (no Debian revision): its changelog is changelog.gz.
set(_tovemi_docs "${CMAKE_CURRENT_BINARY_DIR}/packaging")
file(MAKE_DIRECTORY "${_tovemi_docs}")
function(tovemi_gzip source target)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
    execute_process(COMMAND gzip -9n -c "${source}" OUTPUT_FILE "${target}"
        COMMAND_ERROR_IS_FATAL ANY)
endfunction()
tovemi_gzip("${_tovemi_packaging}/changelog" "${_tovemi_docs}/changelog.gz")
install(FILES "${_tovemi_docs}/changelog.gz" DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/tovemi")
configure_file("${_tovemi_packaging}/man/tovemi.1.in" "${_tovemi_docs}/man1/tovemi.1" @ONLY)
configure_file("${_tovemi_packaging}/man/tovemi.ja.1.in" "${_tovemi_docs}/ja/man1/tovemi.1" @ONLY)
foreach(_tovemi_page man1/tovemi.1 ja/man1/tovemi.1)
    tovemi_gzip("${_tovemi_docs}/${_tovemi_page}" "${_tovemi_docs}/${_tovemi_page}.gz")
    get_filename_component(_tovemi_section "${_tovemi_page}" DIRECTORY)
    install(FILES "${_tovemi_docs}/${_tovemi_page}.gz"
        DESTINATION "${CMAKE_INSTALL_MANDIR}/${_tovemi_section}")
endforeach()

# The desktop entry names absolute paths, and the prefix is only known when installing:
# `cmake --install --prefix`, DESTDIR staging and CPack (which installs with the package's
# /usr as prefix) each need their own, so the entry is written at install time rather than
# from CMAKE_INSTALL_FULL_DATADIR, which holds the configured prefix only.
install(CODE "
set(_tovemi_template \"${_tovemi_packaging}/${TOVEMI_APP_ID}.desktop.in\")
set(_tovemi_stage \"${CMAKE_CURRENT_BINARY_DIR}/packaging\")
set(_tovemi_name \"${TOVEMI_APP_ID}.desktop\")
set(_tovemi_datadir \"${CMAKE_INSTALL_DATADIR}\")
set(_tovemi_mediadir \"${TOVEMI_MEDIA_DIR}\")
set(_tovemi_bindir \"${CMAKE_INSTALL_BINDIR}\")
")
install(CODE [[
foreach(_tovemi_dir datadir mediadir bindir)
    if(NOT IS_ABSOLUTE "${_tovemi_${_tovemi_dir}}")
        set(_tovemi_${_tovemi_dir} "${CMAKE_INSTALL_PREFIX}/${_tovemi_${_tovemi_dir}}")
    endif()
endforeach()
if("${_tovemi_bindir}${_tovemi_mediadir}" MATCHES "[\"`$\\]")
    message(FATAL_ERROR "The desktop entry cannot name a path with \" ` $ or \\: ${_tovemi_bindir}")
endif()
set(TOVEMI_DESKTOP_MEDIADIR "${_tovemi_mediadir}")
set(TOVEMI_DESKTOP_EXEC "${_tovemi_bindir}/tovemi")
if(TOVEMI_DESKTOP_EXEC MATCHES "[ \t\n'><~|&;*?#()]")
    set(TOVEMI_DESKTOP_EXEC "\"${TOVEMI_DESKTOP_EXEC}\"")
endif()
# One staging folder per destination: two installs of the same build may run at once.
string(SHA1 _tovemi_key "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}")
set(_tovemi_entry "${_tovemi_stage}/${_tovemi_key}/${_tovemi_name}")
configure_file("${_tovemi_template}" "${_tovemi_entry}" @ONLY)
file(INSTALL DESTINATION "${_tovemi_datadir}/applications" TYPE FILE FILES "${_tovemi_entry}")
file(REMOVE_RECURSE "${_tovemi_stage}/${_tovemi_key}")
]])

# install_manifest.txt is the build's uninstall list. A staged install (DESTDIR: CPack, a
# distribution's packaging) would overwrite it with paths that name the real system's files
# without being installed there, so it keeps the list of the last real install. This rule
# runs last: the folders' rules come before the top level's.
install(CODE "set(_tovemi_manifest \"${PROJECT_BINARY_DIR}/install_manifest.txt\")")
install(CODE [[
if(NOT "$ENV{DESTDIR}" STREQUAL "" AND NOT CMAKE_INSTALL_COMPONENT)
    set(CMAKE_INSTALL_MANIFEST_FILES "")
    if(EXISTS "${_tovemi_manifest}")
        file(STRINGS "${_tovemi_manifest}" CMAKE_INSTALL_MANIFEST_FILES)
    endif()
endif()
]])

# The Debian package: `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovemi)
set(CPACK_PACKAGE_VENDOR "Tovemi developers")
set(CPACK_PACKAGE_CONTACT "Tovemi developers <dev@tovemi.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "drill in ratios, percentages and buai for elementary school")
# Debian shows the long description as written: lines of at most 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Tovemi is a desktop drill for Japanese elementary-school pupils who are"
    "learning ratios (wariai), percentages (hyakubunritsu) and buai (wari, bu and"
    "rin). The pupil picks one of ten problem kinds and types the missing quantity"
    "of each problem. Every answer is judged at once with a picture and a sound,"
    "and the score comes at the end. Problem and answer worksheets can be printed."
    "The user interface is in Japanese.")
# The project's numeric version, 2.0.0.2. The program's own text "2.00.2" is, for dpkg, the
# same version as 2.0.2 (digit runs compare as numbers): one version under two spellings.
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the program needs that no library link says: the IPA faces that stand in for the
# window's fonts, the xcb platform plugin (loaded at run time) and Qt's Japanese texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")
include(CPack)
