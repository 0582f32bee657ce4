# What `cmake --install` lays out and what the Debian package holds: the two programs, the
# installation template the per-user program folder is made from (share/kvx), the desktop entry
# with its icons, the AppStream metainfo and the manual pages.
include(GNUInstallDirs)

option(KVX_INSTALL_RECORDINGS "Speak the recordings at build time (espeak-ng) and install them" OFF)

install(TARGETS kvxtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET kvx)
  install(TARGETS kvx RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(KVX_TEMPLATE_DIR ${CMAKE_INSTALL_DATADIR}/kvx)
file(GLOB KVX_TEMPLATE_FILES ${PROJECT_SOURCE_DIR}/data/*.TXT ${PROJECT_SOURCE_DIR}/data/logo-*.svg)
install(FILES ${KVX_TEMPLATE_FILES} ${PROJECT_SOURCE_DIR}/data/branding.ini
              ${PROJECT_BINARY_DIR}/data/KVX_32.db
        DESTINATION ${KVX_TEMPLATE_DIR})

if(KVX_INSTALL_RECORDINGS)
  find_program(ESPEAK_NG espeak-ng REQUIRED)
  set(KVX_RECORDINGS ${PROJECT_BINARY_DIR}/recordings)
  add_custom_command(
    OUTPUT ${KVX_RECORDINGS}/done
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${KVX_RECORDINGS}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/make-recordings ${KVX_RECORDINGS}
            ${PROJECT_BINARY_DIR}/data/KVX_32.db
    COMMAND ${CMAKE_COMMAND} -E touch ${KVX_RECORDINGS}/done
    DEPENDS kvx_question_db ${PROJECT_SOURCE_DIR}/scripts/make-recordings
    COMMENT "Speaking the recordings"
    VERBATIM)
  add_custom_target(kvx_recordings ALL DEPENDS ${KVX_RECORDINGS}/done)
  install(DIRECTORY ${KVX_RECORDINGS}/KVXTest DESTINATION ${KVX_TEMPLATE_DIR})
endif()

# Desktop integration.
set(KVX_DESKTOP ${PROJECT_SOURCE_DIR}/data/desktop)
install(FILES ${KVX_DESKTOP}/kvx.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KVX_DESKTOP}/org.kvxproject.KVX.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${KVX_DESKTOP}/kvx.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(KVX_ICON_PNGS)
foreach(size IN ITEMS 16 24 32 48 64 128 256)
  set(png ${PROJECT_BINARY_DIR}/icons/${size}x${size}/kvx.png)
  add_custom_command(
    OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${KVX_DESKTOP}/kvx.svg
    DEPENDS ${KVX_DESKTOP}/kvx.svg
    VERBATIM)
  list(APPEND KVX_ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(kvx_icons ALL DEPENDS ${KVX_ICON_PNGS})

install(FILES ${PROJECT_SOURCE_DIR}/data/man/kvx.1 ${PROJECT_SOURCE_DIR}/data/man/kvxtool.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package: dependencies from the shared libraries linked, plus what is loaded at run
# time without being linked (fonts, the SQLite driver, image and media plugins).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kvx)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "KVX maintainers <kvx@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "administer, score and report the KVX screening test")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-liberation2, libqt6sql6-sqlite, qt6-image-formats-plugins, qt6-qpa-plugins, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE KVX_DEB_ARCH
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT KVX_DEB_ARCH)
  set(KVX_DEB_ARCH amd64)
endif()
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${KVX_DEB_ARCH})
set(CPACK_DEBIAN_FILE_NAME kvx_${PROJECT_VERSION}_${KVX_DEB_ARCH}.deb)
include(CPack)
