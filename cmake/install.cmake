# Installing Tamberlo like any desktop program: the two programs, the desktop
# entry, the icon, the AppStream metainfo and the man page, the virtual
# board's simulator; and a Debian package of them (cpack -G DEB, see
# scripts/package.sh).
include(GNUInstallDirs)

# One version everywhere: the window's caption, tamberlo-gen --version, the
# package and the metainfo release.
file(STRINGS ${CMAKE_SOURCE_DIR}/src/app/constants.h TAMBERLO_VERSION_LINE REGEX "AppVersion = ")
string(REGEX MATCH "\"V([0-9.]+)\"" _ "${TAMBERLO_VERSION_LINE}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "AppVersion (${CMAKE_MATCH_1}) and the project version (${PROJECT_VERSION}) differ")
endif()
file(READ ${CMAKE_SOURCE_DIR}/data/com.hollowmere.Tamberlo.metainfo.xml TAMBERLO_METAINFO)
if(NOT TAMBERLO_METAINFO MATCHES "<release version=\"${PROJECT_VERSION}\"")
  message(FATAL_ERROR "the metainfo has no release ${PROJECT_VERSION}")
endif()

set(TAMBERLO_APP_ID com.hollowmere.Tamberlo)

install(TARGETS tamberlo-gen RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# tamberlo-sim is a helper the board window runs, not a command of its own:
# it goes where the window looks for it, PREFIX/libexec/tamberlo (see
# board::simCandidates). It links simavr and is GPL-3; the copyright file
# says so.
if(TARGET tamberlo-sim)
  install(TARGETS tamberlo-sim RUNTIME DESTINATION libexec/tamberlo)
endif()
install(FILES data/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tamberlo)

# Debian wants compressed man pages; -n keeps the archive reproducible.
set(TAMBERLO_MAN_GZ ${CMAKE_BINARY_DIR}/tamberlo-gen.1.gz)
add_custom_command(
  OUTPUT ${TAMBERLO_MAN_GZ}
  COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/data/tamberlo-gen.1 > ${TAMBERLO_MAN_GZ}
  DEPENDS ${CMAKE_SOURCE_DIR}/data/tamberlo-gen.1
  VERBATIM)
add_custom_target(tamberlo_man ALL DEPENDS ${TAMBERLO_MAN_GZ})
install(FILES ${TAMBERLO_MAN_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(TAMBERLO_BUILD_GUI)
  install(TARGETS tamberlo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES data/${TAMBERLO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  # The metainfo also tells the programs they run from an installed tree.
  install(FILES data/${TAMBERLO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES data/icons/${TAMBERLO_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  # The PNGs are committed, rendered from the SVG with
  # "rsvg-convert -w N -h N" (librsvg2-bin), so building needs no renderer.
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES data/icons/${TAMBERLO_APP_ID}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${TAMBERLO_APP_ID}.png)
  endforeach()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamberlo)
set(CPACK_PACKAGE_VENDOR Hollowmere)
set(CPACK_PACKAGE_CONTACT "Tamberlo developers <tamberlo@hollowmere.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "code wizard for AVR ATmega microcontrollers")
set(CPACK_PACKAGE_DESCRIPTION
    "Tamberlo generates complete C projects for 8-bit AVR ATmega microcontrollers:\n"
    "drivers for the on-chip UART, SPI and TWI and for LCDs and other external\n"
    "chips, a demonstration main.c and ICC AVR and GCC project files. It shows the\n"
    "register values live while you edit. tamberlo-gen does the same without a window.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "http://hollowmere.com")
# Libraries come from the binaries (simavr's for tamberlo-sim, libgit2 for the
# merge of the user's edits); the rest is
# what Tamberlo opens or runs: a CJK font for its Chinese captions, avr-gcc
# to build the projects, Unifont for the ST7920's character ROM on the board.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gcc-avr, avr-libc, binutils-avr, make, simavr, unifont")
include(CPack)
