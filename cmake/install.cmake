# Installing Letro like a desktop program, and packaging it as a .deb.
#
# The program finds its pictures and exercises beside itself, so the program
# folder is installed whole, as it is built:
#   <prefix>/lib/letro/letro                  the program
#   <prefix>/lib/letro/gifs/                   the animated pictures
#   <prefix>/lib/letro/Palabras/ ...           the three exercise folders
#   <prefix>/bin/letro -> ../lib/letro/letro   the command (the program resolves
#                                              the link to find its folder)
#   <prefix>/bin/letro-grabar                  the recording tool (needs no folder)
#   <prefix>/lib/letro/letro-editor            the teacher's editor, beside the program
#   <prefix>/bin/letro-editor -> ../lib/letro/letro-editor   (its folder is the Letro it edits)
# plus the desktop entry, the icon, the AppStream metainfo and the man pages.

include(GNUInstallDirs)

set(LETRO_APP_ID "org.example.letro")
set(LETRO_INSTALL_DIR "lib/letro")
set(LETRO_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS letro RUNTIME DESTINATION ${LETRO_INSTALL_DIR})
install(TARGETS letro-grabar RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS letro-editor RUNTIME DESTINATION ${LETRO_INSTALL_DIR})

install(DIRECTORY ${LETRO_PROGRAM_DIR}/gifs
        DESTINATION ${LETRO_INSTALL_DIR})
foreach(type "Palabras" "Frase corta" "Frase larga")
    install(DIRECTORY "${LETRO_PROGRAM_DIR}/${type}"
            DESTINATION ${LETRO_INSTALL_DIR})
endforeach()

# The command on the PATH: a relative link, made in the build tree and
# installed as a link.
set(letro_link ${CMAKE_CURRENT_BINARY_DIR}/packaging/letro)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/packaging)
file(CREATE_LINK ../${LETRO_INSTALL_DIR}/letro ${letro_link} SYMBOLIC)
install(FILES ${letro_link} DESTINATION ${CMAKE_INSTALL_BINDIR})
set(editor_link ${CMAKE_CURRENT_BINARY_DIR}/packaging/letro-editor)
file(CREATE_LINK ../${LETRO_INSTALL_DIR}/letro-editor ${editor_link} SYMBOLIC)
install(FILES ${editor_link} DESTINATION ${CMAKE_INSTALL_BINDIR})

# Desktop integration.
install(FILES ${LETRO_PACKAGING_DIR}/${LETRO_APP_ID}.desktop
              ${LETRO_PACKAGING_DIR}/${LETRO_APP_ID}.editor.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${LETRO_PACKAGING_DIR}/${LETRO_APP_ID}.metainfo.xml
              ${LETRO_PACKAGING_DIR}/${LETRO_APP_ID}.editor.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/pluma.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME letro.svg)

# What a school's administrator runs once to prepare a PostgreSQL server for
# the pupils' results (see the file's head).
install(FILES ${PROJECT_SOURCE_DIR}/src/progress/progreso-servidor.sql
        DESTINATION ${CMAKE_INSTALL_DATADIR}/letro)

find_program(LETRO_GZIP gzip)

# The licence, as Debian wants it: a machine-readable copyright file.
install(FILES ${LETRO_PACKAGING_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/letro)
# The package's changelog, compressed as Debian keeps it.
if(LETRO_GZIP)
    set(changelog ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)
    add_custom_command(OUTPUT ${changelog}
        COMMAND ${LETRO_GZIP} -9 -n -c ${LETRO_PACKAGING_DIR}/changelog > ${changelog}
        DEPENDS ${LETRO_PACKAGING_DIR}/changelog
        COMMENT "Compressing the changelog")
    add_custom_target(letro_changelog ALL DEPENDS ${changelog})
    install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/letro)
endif()

# Man pages, compressed as Debian keeps them (-n: no name or time stamp, so
# the result depends only on the page).
set(man_outputs)
foreach(page letro letro-grabar letro-editor)
    set(source ${LETRO_PACKAGING_DIR}/${page}.1)
    if(LETRO_GZIP)
        set(output ${CMAKE_CURRENT_BINARY_DIR}/packaging/${page}.1.gz)
        add_custom_command(OUTPUT ${output}
            COMMAND ${LETRO_GZIP} -9 -n -c ${source} > ${output}
            DEPENDS ${source}
            COMMENT "Compressing man page ${page}.1")
        list(APPEND man_outputs ${output})
    else()
        list(APPEND man_outputs ${source})
    endif()
endforeach()
add_custom_target(letro_man ALL DEPENDS ${man_outputs})
install(FILES ${man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package: cpack -G DEB in the build folder gives letro_1.0_amd64.deb.
set(CPACK_PACKAGE_NAME "letro")
set(CPACK_PACKAGE_VENDOR "Equipo de Letro")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Equipo de Letro <letro@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "dictados para aprender ortografía en español")
set(CPACK_PACKAGE_DESCRIPTION
"Letro is a spelling-dictation trainer for Spanish-speaking pupils.
A recording dictates a word or a sentence and the pupil types it; every
key is judged at once, wrong keys get a Spanish message naming the kind
of spelling mistake, and each exercise ends with the time, the keys per
minute, the mistakes and the hits.
.
The package ships exercises of three kinds (words, short and long
sentences) with recordings, letro-grabar, which records new
exercises with a synthetic Spanish voice, and letro-editor, the
teacher's window for writing, ordering and recording exercises (with a
synthetic voice or the microphone) and trying them in Letro.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Equipo de Letro <letro@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION "education")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://example.org/letro/")
# The Qt libraries the programs link come from dpkg-shlibdeps; what is loaded
# at run time comes on top: the platform plugins, the SVG icon engine (button
# pictures), the fonts of the windows, the voice of letro-grabar, sox for its
# slow recordings, Qt's Spanish translation for its help and Qt SQL's SQLite
# and PostgreSQL drivers, which keep the pupils' results. The programs use
# Qt's public API only, so the package holds for any Qt 6 build of the release
# (no qt6-base-abi).
#
# Which package holds the SVG icon engine depends on the release: libqt6svg6
# up to Qt 6.4 (Debian 12), qt6-svg-plugins from then on (Debian 13). The
# package is built on the release it is for and names the one that holds the
# engine there; elsewhere (no dpkg) it names both.
set(letro_svg_engine_package "qt6-svg-plugins | libqt6svg6 (<< 6.5)")
execute_process(
    COMMAND dpkg-query --search ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}/iconengines/libqsvgicon.so
    OUTPUT_VARIABLE letro_svg_owner ERROR_QUIET RESULT_VARIABLE letro_dpkg_status)
if(letro_dpkg_status EQUAL 0 AND letro_svg_owner MATCHES "^([a-z0-9.+-]+)[:,]")
    set(letro_svg_engine_package ${CMAKE_MATCH_1})
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, ${letro_svg_engine_package}, qt6-translations-l10n, fonts-liberation, espeak-ng, sox, libqt6sql6-sqlite, libqt6sql6-psql")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build.*/")
include(CPack)
