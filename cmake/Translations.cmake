# Message catalogs. Texts in the sources and the XRC are English msgids; po/<lang>.po holds a
# language's translations. Each is compiled into <build>/locale/<lang>/LC_MESSAGES/darvex.mo,
# where the programs look when they run from the build tree, and installed under share/locale.
#
#   cmake --build build --target darvex_pot   re-extracts po/darvex.pot from the sources and
#                                             the XRC and merges it into every po/<lang>.po
include(GNUInstallDirs)

find_program(DARVEX_MSGFMT msgfmt REQUIRED)
find_program(DARVEX_XGETTEXT xgettext)
find_program(DARVEX_MSGMERGE msgmerge)

set(DARVEX_LANGUAGES ja)
set(DARVEX_CATALOG darvex)
set(DARVEX_LOCALE_BUILD_DIR ${PROJECT_BINARY_DIR}/locale)
set(DARVEX_PO_DIR ${PROJECT_SOURCE_DIR}/po)

set(mo_files "")
foreach(lang ${DARVEX_LANGUAGES})
    set(mo ${DARVEX_LOCALE_BUILD_DIR}/${lang}/LC_MESSAGES/${DARVEX_CATALOG}.mo)
    add_custom_command(
        OUTPUT ${mo}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${DARVEX_LOCALE_BUILD_DIR}/${lang}/LC_MESSAGES
        COMMAND ${DARVEX_MSGFMT} --check -o ${mo} ${DARVEX_PO_DIR}/${lang}.po
        DEPENDS ${DARVEX_PO_DIR}/${lang}.po
        COMMENT "Compiling the ${lang} message catalog")
    list(APPEND mo_files ${mo})
    install(FILES ${mo} DESTINATION ${CMAKE_INSTALL_LOCALEDIR}/${lang}/LC_MESSAGES)
endforeach()
add_custom_target(darvex_catalogs ALL DEPENDS ${mo_files})

find_program(DARVEX_WXRC_FOR_POT wxrc)
if(DARVEX_XGETTEXT AND DARVEX_MSGMERGE AND DARVEX_WXRC_FOR_POT)
    set(merge_commands "")
    foreach(lang ${DARVEX_LANGUAGES})
        list(APPEND merge_commands COMMAND ${DARVEX_MSGMERGE} --quiet --update --backup=none
             --no-fuzzy-matching ${DARVEX_PO_DIR}/${lang}.po ${DARVEX_PO_DIR}/darvex.pot)
    endforeach()
    add_custom_target(darvex_pot
        COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/extract-messages.sh ${PROJECT_SOURCE_DIR}
                ${DARVEX_PO_DIR}/darvex.pot ${PROJECT_BINARY_DIR}/generated/messages
        ${merge_commands}
        COMMENT "Extracting po/darvex.pot and merging it into the translations"
        VERBATIM)
endif()
