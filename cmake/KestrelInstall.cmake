# What `cmake --install` puts where a desktop expects it, and the Debian package
# `cpack -G DEB` makes of that: the program, its menu entry and icon, AppStream
# data, the manual page, and the package's own copyright and changelog.
include(GNUInstallDirs)

set(KESTREL_APP_ID "org.example.kestrel")
set(data "${PROJECT_SOURCE_DIR}/data")

# kestrel(1), made at build time from the parameter table --help prints.
add_executable(kestrel_manual_page "${PROJECT_SOURCE_DIR}/src/kestrel/manual_page_main.cpp")
target_link_libraries(kestrel_manual_page PRIVATE kestrel_app)
kestrel_set_warnings(kestrel_manual_page)
set(manual "${CMAKE_BINARY_DIR}/share/kestrel.1")
add_custom_command(
    OUTPUT "${manual}.gz" "${CMAKE_BINARY_DIR}/share/changelog.gz"
    COMMAND kestrel_manual_page "${manual}"
    COMMAND gzip -9nf "${manual}"
    COMMAND gzip -9nc "${data}/changelog" > "${CMAKE_BINARY_DIR}/share/changelog.gz"
    DEPENDS kestrel_manual_page "${data}/changelog"
    COMMENT "Writing the manual page kestrel.1"
    VERBATIM)
add_custom_target(kestrel_installed_files ALL DEPENDS "${manual}.gz")

install(TARGETS kestrel RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
if(TARGET kestrel-window)
    # Started by kestrel itself, never by a user: beside the program's other
    # private files rather than on the PATH.
    install(TARGETS kestrel-window RUNTIME DESTINATION "${CMAKE_INSTALL_LIBEXECDIR}/kestrel")
endif()
include(cmake/KestrelTranslations.cmake)
add_dependencies(kestrel kestrel_catalogues)
set(merged_data "${KESTREL_MERGED_DATA}")
install(FILES "${merged_data}/${KESTREL_APP_ID}.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${data}/${KESTREL_APP_ID}.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
install(FILES "${merged_data}/${KESTREL_APP_ID}.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${manual}.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${data}/copyright" "${CMAKE_BINARY_DIR}/share/changelog.gz"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/kestrel")
# "Rename with Kestrel" in the file managers that read system-wide actions:
# Dolphin's service menus, Nemo's actions, and the file-manager actions Caja
# reads. Files and Thunar read only per-user ones: kestrel
# --install-file-manager-actions adds those.
set(file_managers "${merged_data}")
install(FILES "${file_managers}/kestrel-rename.servicemenu.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/kio/servicemenus" RENAME kestrel-rename.desktop)
install(FILES "${file_managers}/kestrel-rename.nemo_action"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/nemo/actions")
install(FILES "${file_managers}/kestrel-rename.caja-action.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/file-manager/actions" RENAME kestrel-rename.desktop)
# The help manual, where the program looks for it beside its "bin" folder.
install(DIRECTORY "${PROJECT_SOURCE_DIR}/help/" DESTINATION "${CMAKE_INSTALL_DATADIR}/kestrel/help")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrel)
set(CPACK_PACKAGE_VENDOR Vantorre)
set(CPACK_PACKAGE_CONTACT "Kestrel developers <kestrel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch renamer for files and folders with a live preview")
set(CPACK_PACKAGE_DESCRIPTION
    "Kestrel lists the files of a folder beside a live preview of the names a\n"
    "chosen set of rename operations (replace, crop, insert, search and replace,\n"
    "autonumbering, letter case, sub-folders made from parts of names) would give\n"
    "them. Nothing changes on disk until the user commits, commits can be undone,\n"
    "and a journal lets a rename cut short by a crash be undone at the next start.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kestrel.example.org")
# The libraries come from dpkg-shlibdeps; Qt's window-system plugins are loaded
# at run time, so no linked library names their package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libavformat is loaded when a video is read, not linked, so the package
# names it itself.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libavformat${AVFORMAT_MAJOR}")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
