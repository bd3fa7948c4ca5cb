# What `cmake --install` puts under the prefix, and the Debian package CPack
# builds from it. The pages, pictures and cursors the program shows are
# compiled into it; the desktop entry, the icons, the manual page, the
# example translation and the copyright file are all it needs beside the
# executable.

include(GNUInstallDirs)

set(lumo_desktop ${PROJECT_SOURCE_DIR}/res/desktop)

install(TARGETS lumo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${lumo_desktop}/lumo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The program finds the translations an install ships in PREFIX/share/lumo,
# beside PREFIX/bin (platform/program_folder.h).
install(FILES ${PROJECT_SOURCE_DIR}/res/languages/Deutsch.lng
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lumo/languages)
install(FILES ${lumo_desktop}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumo)

# Manual pages are installed compressed; -n keeps the date out, so a build
# gives the same bytes each time.
set(lumo_man_page ${CMAKE_BINARY_DIR}/man/lumo.1.gz)
add_custom_command(OUTPUT ${lumo_man_page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${lumo_desktop}/lumo.1 > ${lumo_man_page}
    DEPENDS ${lumo_desktop}/lumo.1
    VERBATIM)
add_custom_target(lumo_man_page ALL DEPENDS ${lumo_man_page})
install(FILES ${lumo_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The icon is drawn once, as SVG; the theme's fixed sizes are rendered from it.
set(lumo_icon_theme ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${lumo_desktop}/lumo.svg DESTINATION ${lumo_icon_theme}/scalable/apps)
find_program(RSVG_CONVERT rsvg-convert REQUIRED) # librsvg2-bin (scripts/install-deps.sh)
set(lumo_icon_sizes 16 22 24 32 48 64 128 256)
set(lumo_icon_pngs)
foreach(size IN LISTS lumo_icon_sizes)
    set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/lumo.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${lumo_desktop}/lumo.svg
        DEPENDS ${lumo_desktop}/lumo.svg
        VERBATIM)
    list(APPEND lumo_icon_pngs ${png})
    install(FILES ${png} DESTINATION ${lumo_icon_theme}/${size}x${size}/apps)
endforeach()
add_custom_target(lumo_icons ALL DEPENDS ${lumo_icon_pngs})

# cpack -G DEB: the dependencies are what dpkg-shlibdeps finds the program
# links (Qt's platform plugins come with libqt6gui6, which it links).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Lumo developers")
set(CPACK_PACKAGE_CONTACT "The Lumo developers <lumo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "web browser for the pages of the late 1990s")
# One string: set() with several would make a list, whose ";" separators
# the package's description would show.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Lumo shows HTML 3.2 pages the way they were made to look: frames, tables, forms,\n"
    "image maps, GIF animation and a subset of style sheets, over HTTP/1.0 with a disk\n"
    "cache, cookies, history, bookmarks and printing.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Pages name Arial, Times New Roman and Courier New; these have their metrics.
# https verifies servers against the system's trusted certificates.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, ca-certificates")
include(CPack)
