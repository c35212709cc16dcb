# The translation catalogues: po/<language>.po compiled where the program looks
# for them (bin/locale in the build tree, share/locale in an installation), and
# the menu entry, AppStream data and file-manager actions with every language's
# texts merged in. po/LINGUAS lists the languages.
find_program(KESTREL_MSGFMT msgfmt REQUIRED)

set(po_folder "${PROJECT_SOURCE_DIR}/po")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${po_folder}/LINGUAS")
file(STRINGS "${po_folder}/LINGUAS" KESTREL_LANGUAGES REGEX "^[a-zA-Z]")
set(KESTREL_LOCALE_FOLDER "${CMAKE_BINARY_DIR}/bin/locale")

set(catalogues "")
set(po_files "")
foreach(language IN LISTS KESTREL_LANGUAGES)
    set(po "${po_folder}/${language}.po")
    set(mo "${KESTREL_LOCALE_FOLDER}/${language}/LC_MESSAGES/kestrel.mo")
    add_custom_command(OUTPUT "${mo}"
                       COMMAND ${CMAKE_COMMAND} -E make_directory "${KESTREL_LOCALE_FOLDER}/${language}/LC_MESSAGES"
                       COMMAND ${KESTREL_MSGFMT} --check --output-file "${mo}" "${po}"
                       DEPENDS "${po}" VERBATIM)
    list(APPEND catalogues "${mo}")
    list(APPEND po_files "${po}")
    install(FILES "${mo}" DESTINATION "${CMAKE_INSTALL_LOCALEDIR}/${language}/LC_MESSAGES")
endforeach()

# Desktop files: "Name[de]=..." lines after each translatable key.
set(KESTREL_MERGED_DATA "${CMAKE_BINARY_DIR}/share/data")
set(merged "")
function(kestrel_merge_desktop_file source)
    get_filename_component(name "${source}" NAME)
    set(out "${KESTREL_MERGED_DATA}/${name}")
    add_custom_command(OUTPUT "${out}"
                       COMMAND ${KESTREL_MSGFMT} --desktop --keyword=Name --keyword=GenericName
                               --keyword=Comment --keyword=Keywords --keyword=Tooltip
                               --template "${source}" -d "${po_folder}" -o "${out}"
                       DEPENDS "${source}" ${po_files} VERBATIM)
    set(merged ${merged} "${out}" PARENT_SCOPE)
endfunction()
set(data "${PROJECT_SOURCE_DIR}/data")
kestrel_merge_desktop_file("${data}/org.example.kestrel.desktop")
foreach(action IN ITEMS kestrel-rename.servicemenu.desktop kestrel-rename.nemo_action
                        kestrel-rename.caja-action.desktop)
    kestrel_merge_desktop_file("${data}/file-managers/${action}")
endforeach()
set(metainfo "${KESTREL_MERGED_DATA}/org.example.kestrel.metainfo.xml")
add_custom_command(OUTPUT "${metainfo}"
                   COMMAND ${KESTREL_MSGFMT} --xml --template "${data}/org.example.kestrel.metainfo.xml"
                           -d "${po_folder}" -o "${metainfo}"
                   DEPENDS "${data}/org.example.kestrel.metainfo.xml" ${po_files} VERBATIM)
list(APPEND merged "${metainfo}")

add_custom_target(kestrel_catalogues ALL DEPENDS ${catalogues} ${merged})
