# SPDX-License-Identifier: GPL-3.0-or-later
# Installing Tamberlo like any desktop program: the two programs, the desktop
# entry, the icon, the AppStream metainfo and the man pages, the virtual
# board's simulator; and a Debian package of them (cpack -G DEB, see
# scripts/package.sh, which also runs lintian on it).
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
file(STRINGS ${CMAKE_SOURCE_DIR}/data/changelog TAMBERLO_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT TAMBERLO_CHANGELOG_TOP MATCHES "^tamberlo \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "data/changelog does not start with version ${PROJECT_VERSION}")
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
install(FILES ${TAMBERLO_ZH_MO} DESTINATION ${CMAKE_INSTALL_DATADIR}/locale/zh_CN/LC_MESSAGES)

# Debian wants compressed man pages and changelog; -n keeps the archive
# reproducible.
set(TAMBERLO_GZ_FILES)
foreach(doc tamberlo.1 tamberlo-gen.1 tamberlo-sim.1 changelog)
  set(gz ${CMAKE_BINARY_DIR}/doc/${doc}.gz)
  add_custom_command(
    OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
    COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/data/${doc} > ${gz}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/${doc}
    VERBATIM)
  list(APPEND TAMBERLO_GZ_FILES ${gz})
endforeach()
add_custom_target(tamberlo_docs ALL DEPENDS ${TAMBERLO_GZ_FILES})
install(FILES ${CMAKE_BINARY_DIR}/doc/tamberlo-gen.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET tamberlo-sim)
  install(FILES ${CMAKE_BINARY_DIR}/doc/tamberlo-sim.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tamberlo)

if(TAMBERLO_BUILD_GUI)
  install(TARGETS tamberlo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_BINARY_DIR}/doc/tamberlo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
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

# A stripped install (cpack, cmake --install --strip) also drops the
# compiler's version notes, as Debian's own packages do.
install(CODE [[
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program bin/tamberlo bin/tamberlo-gen libexec/tamberlo/tamberlo-sim)
      set(path "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${program}")
      if(EXISTS "${path}")
        execute_process(COMMAND strip --remove-section=.comment --remove-section=.note "${path}"
                        RESULT_VARIABLE failed)
        if(failed)
          message(FATAL_ERROR "cannot strip ${path}")
        endif()
      endif()
    endforeach()
  endif()
]])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tamberlo)
set(CPACK_PACKAGE_VENDOR Hollowmere)
set(CPACK_PACKAGE_CONTACT "Tamberlo developers <tamberlo@hollowmere.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "code wizard for AVR ATmega microcontrollers")
set(CPACK_PACKAGE_DESCRIPTION
    "Tamberlo generates complete C projects for 8-bit AVR ATmega\n"
    "microcontrollers: drivers for the on-chip UART, SPI and TWI and for LCDs\n"
    "and other external chips, a demonstration main.c, ICC AVR and GCC project\n"
    "files and a Makefile for avr-gcc. It shows the register values live while\n"
    "you edit, and runs the projects on a virtual board. tamberlo-gen does the\n"
    "same without a window.")
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
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gcc-avr, avr-libc, binutils-avr, make, simavr, unifont")
include(CPack)
