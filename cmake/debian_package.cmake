# What `cpack -G DEB` makes from the Linux build: tallowick_<version>_<arch>.deb
# holding what `cmake --install` installs under /usr (the program, its
# desktop entry, icon and AppStream metainfo), its dependencies read from
# the program's real shared libraries by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME tallowick)
set(CPACK_PACKAGE_VENDOR "Velmora Software")
set(CPACK_PACKAGE_CONTACT "Velmora Software <support@velmora.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The description's backslashes reach the package as written.
set(CPACK_VERBATIM_VARIABLES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.velmora.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find and delete the cookie files of an old Windows web browser")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Tallowick looks in the C: drive of a Wine prefix ($WINEPREFIX, else ~/.wine)
for the cookie files that an old Windows web browser kept: every file whose
name contains .txt in a fixed, shallow set of folders under c:\\windows and
c:\\winnt. It lists their full paths and deletes them all when asked.
.
It reads no settings and writes no file: its only effect is the deletion of
the listed files.")

include(CPack)
