# Install rules and the Debian package. Everything a desktop expects of an installed program:
# the programs, menu entry, MIME type, icons, AppStream data, man pages and bash completion.
include(GNUInstallDirs)

set(DARVEX_RES_DIR ${PROJECT_SOURCE_DIR}/res)
set(DARVEX_GEN_DIR ${PROJECT_BINARY_DIR}/generated)
set(DARVEX_ICON_SIZES 16 24 32 48 64 128 256)
set(DARVEX_MIME_ICON application-x-d88-floppy-image)
# The project has no home page or mail address of its own yet: these stand in (example.org is
# reserved for that) until it has.
set(DARVEX_HOMEPAGE "https://darvex.example.org" CACHE STRING
    "Project home page named by the AppStream data and the package")
set(DARVEX_MAINTAINER "Darvex developers <darvex@example.org>" CACHE STRING
    "Maintainer of the Debian package")
# AppStream wants a reverse-DNS component id, made from the home page's domain.
set(DARVEX_APP_ID "org.example.darvex" CACHE STRING "AppStream component id")

# Man pages go in compressed, as Debian wants them; man reads them so from any prefix. Both
# pages and the AppStream data are generated in any case, so the tests can check them.
find_program(DARVEX_GZIP gzip REQUIRED)
foreach(page darvex darvex-cli)
    configure_file(${PROJECT_SOURCE_DIR}/doc/man/${page}.1.in ${DARVEX_GEN_DIR}/man/${page}.1
                   @ONLY)
    add_custom_command(
        OUTPUT ${DARVEX_GEN_DIR}/man/${page}.1.gz
        COMMAND ${DARVEX_GZIP} -9nkf ${DARVEX_GEN_DIR}/man/${page}.1
        DEPENDS ${DARVEX_GEN_DIR}/man/${page}.1
        COMMENT "Compressing man page ${page}.1")
endforeach()
add_custom_target(darvex_man ALL DEPENDS ${DARVEX_GEN_DIR}/man/darvex.1.gz
                                         ${DARVEX_GEN_DIR}/man/darvex-cli.1.gz)
configure_file(${DARVEX_RES_DIR}/darvex.metainfo.xml.in
               ${DARVEX_GEN_DIR}/${DARVEX_APP_ID}.metainfo.xml @ONLY)

install(TARGETS darvex-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${DARVEX_GEN_DIR}/man/darvex-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The menu entry, the AppStream data and the man page of the desktop program come with the
# program only: without it they would promise what is not installed.
if(TARGET darvex)
    install(TARGETS darvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${DARVEX_GEN_DIR}/man/darvex.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${DARVEX_RES_DIR}/darvex.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${DARVEX_GEN_DIR}/${DARVEX_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

install(FILES ${DARVEX_RES_DIR}/darvex-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME darvex.xml)

set(DARVEX_ICON_DIR ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
foreach(size IN LISTS DARVEX_ICON_SIZES)
    install(FILES ${DARVEX_RES_DIR}/icons/png/darvex-${size}.png
            DESTINATION ${DARVEX_ICON_DIR}/${size}x${size}/apps RENAME darvex.png)
    install(FILES ${DARVEX_RES_DIR}/icons/png/${DARVEX_MIME_ICON}-${size}.png
            DESTINATION ${DARVEX_ICON_DIR}/${size}x${size}/mimetypes
            RENAME ${DARVEX_MIME_ICON}.png)
endforeach()
install(FILES ${DARVEX_RES_DIR}/icons/darvex.svg DESTINATION ${DARVEX_ICON_DIR}/scalable/apps)
install(FILES ${DARVEX_RES_DIR}/icons/${DARVEX_MIME_ICON}.svg
        DESTINATION ${DARVEX_ICON_DIR}/scalable/mimetypes)

install(FILES ${DARVEX_RES_DIR}/bash-completion/darvex-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# copyright and changelog.gz, as Debian wants them for a native package.
set(DARVEX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/darvex)
execute_process(COMMAND date -u -R -d "${DARVEX_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE DARVEX_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
configure_file(${PROJECT_SOURCE_DIR}/doc/changelog.in ${DARVEX_GEN_DIR}/changelog @ONLY)
add_custom_command(
    OUTPUT ${DARVEX_GEN_DIR}/changelog.gz
    COMMAND ${DARVEX_GZIP} -9nkf ${DARVEX_GEN_DIR}/changelog
    DEPENDS ${DARVEX_GEN_DIR}/changelog
    COMMENT "Compressing the changelog")
add_custom_target(darvex_changelog ALL DEPENDS ${DARVEX_GEN_DIR}/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/doc/copyright ${DARVEX_GEN_DIR}/changelog.gz
        DESTINATION ${DARVEX_DOC_DIR})

# A plain `cmake --install` refreshes the desktop's caches itself, so a user install needs no
# further step. Staged installs (DESTDIR, CPack) leave that to the package's triggers.
install(CODE [[
    if("$ENV{DESTDIR}" STREQUAL "" AND NOT CMAKE_INSTALL_PREFIX MATCHES "/_CPack_Packages/")
        set(data "${CMAKE_INSTALL_PREFIX}/share")
        find_program(update_mime update-mime-database)
        find_program(update_desktop update-desktop-database)
        find_program(update_icons gtk-update-icon-cache)
        if(update_mime)
            execute_process(COMMAND "${update_mime}" "${data}/mime")
        endif()
        if(update_desktop AND EXISTS "${data}/applications")
            execute_process(COMMAND "${update_desktop}" -q "${data}/applications")
        endif()
        if(update_icons AND EXISTS "${data}/icons/hicolor/index.theme")
            execute_process(COMMAND "${update_icons}" -q -t "${data}/icons/hicolor")
        endif()
    endif()
]])

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
