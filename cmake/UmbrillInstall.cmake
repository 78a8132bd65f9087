# Installing Umbrill like any desktop program, and its Debian package.
#
#   <prefix>/lib/umbrill/            the program folder: Umbrill05, Umbrill05.ini, generated-languages.ini,
#                                    umbrill_help.pdf and umbrill_help_de.pdf, umbrill_help_fr.pdf,
#                                    umbrill_help_es.pdf
#   <prefix>/bin/umbrill             the launcher, a relative link to the executable
#   <prefix>/share/applications/     the desktop entry
#   <prefix>/share/icons/hicolor/    the icon, drawn and at the sizes desktops ask for
#   <prefix>/share/metainfo/         the AppStream metadata
#
# The executable finds its data file and help beside itself, links resolved, so
# the program folder stays whole and the launcher is only a link to it.
include(GNUInstallDirs)

set(UMBRILL_APP_ID "org.example.Umbrill" CACHE STRING "Desktop id: names the desktop entry, the icon and the metadata")
set(UMBRILL_INSTALL_PROGRAMDIR "lib/umbrill" CACHE STRING "The program folder, relative to the install prefix")
set(UMBRILL_LAUNCHER_NAME "umbrill")
set(UMBRILL_RELEASE_DATE "2026-12-07")
set(UMBRILL_PACKAGING_DIR "${PROJECT_SOURCE_DIR}/packaging")
set(UMBRILL_ICON_DIR "${PROJECT_SOURCE_DIR}/data/icons")
set(UMBRILL_ICON_SIZES 16 24 32 48 64 128 256)

# --- the program folder ---------------------------------------------------------
# Qt comes from the system's library folders: no run path (the project setup
# would otherwise give $ORIGIN, which an installed program has no use for).
set_target_properties(Umbrill05 PROPERTIES INSTALL_RPATH "")
install(TARGETS Umbrill05 RUNTIME DESTINATION "${UMBRILL_INSTALL_PROGRAMDIR}")
install(FILES "${UMBRILL_PROGRAM_DIR}/Umbrill05.ini" "${UMBRILL_PROGRAM_DIR}/generated-languages.ini"
              "${UMBRILL_PROGRAM_DIR}/umbrill_help.pdf"
              "${UMBRILL_PROGRAM_DIR}/umbrill_help_de.pdf" "${UMBRILL_PROGRAM_DIR}/umbrill_help_fr.pdf"
              "${UMBRILL_PROGRAM_DIR}/umbrill_help_es.pdf"
        DESTINATION "${UMBRILL_INSTALL_PROGRAMDIR}")

# --- the launcher: made here as a relative link, installed as the link itself ----
function(umbrill_relative_link out from_dir to_file)
  foreach(var from_dir to_file)
    if(NOT IS_ABSOLUTE "${${var}}")
      set(${var} "/${${var}}")
    endif()
  endforeach()
  file(RELATIVE_PATH link "${from_dir}" "${to_file}")
  set(${out} "${link}" PARENT_SCOPE)
endfunction()
umbrill_relative_link(launcher_target "${CMAKE_INSTALL_BINDIR}" "${UMBRILL_INSTALL_PROGRAMDIR}/Umbrill05")
set(UMBRILL_LAUNCHER "${PROJECT_BINARY_DIR}/launcher/${UMBRILL_LAUNCHER_NAME}")
file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/launcher")
file(CREATE_LINK "${launcher_target}" "${UMBRILL_LAUNCHER}" SYMBOLIC)
install(FILES "${UMBRILL_LAUNCHER}" DESTINATION "${CMAKE_INSTALL_BINDIR}")

# --- desktop entry, icons, metadata ---------------------------------------------
install(FILES "${UMBRILL_PACKAGING_DIR}/${UMBRILL_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
foreach(size IN LISTS UMBRILL_ICON_SIZES)
  install(FILES "${UMBRILL_ICON_DIR}/umbrill-${size}.png"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
          RENAME "${UMBRILL_APP_ID}.png")
endforeach()
install(FILES "${UMBRILL_ICON_DIR}/umbrill.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps"
        RENAME "${UMBRILL_APP_ID}.svg")
set(UMBRILL_METAINFO "${PROJECT_BINARY_DIR}/packaging/${UMBRILL_APP_ID}.metainfo.xml")
configure_file("${UMBRILL_PACKAGING_DIR}/${UMBRILL_APP_ID}.metainfo.xml.in" "${UMBRILL_METAINFO}" @ONLY)
install(FILES "${UMBRILL_METAINFO}" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

# --- the Debian package: cpack -G DEB in the build folder -------------------------
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "umbrill")
set(CPACK_PACKAGE_VENDOR "The Umbrill developers")
set(CPACK_PACKAGE_CONTACT "The Umbrill developers <dev@umbrill.example>")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://umbrill.example.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A small key pad that stays on top of other windows. Pick a keyboard language
and the pad shows one key per character; a click puts that character on the
clipboard, as plain text, rich text in the key font, Unicode text or an HTML
entity. Menus and dialogs in English, German, French and Spanish.")
# The libraries the executable links come from dpkg-shlibdeps; the fonts of the
# shipped keyboard languages and the opener of the help document are only wanted.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
list(JOIN UMBRILL_FONT_PACKAGES ", " font_packages)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "${font_packages}, xdg-utils")
include(CPack)
