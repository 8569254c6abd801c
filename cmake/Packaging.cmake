# The packages: a .deb of the standard install and a .tar.gz of the portable program folder.
# scripts/package.sh makes both.

set(CPACK_PACKAGE_NAME kvor)
set(CPACK_PACKAGE_VENDOR "KVOR")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Monthly report on the structure and amount of a municipality's debt")
# Lines of at most 79 characters: the .deb carries them as they are.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "KVOR fills in the monthly report on the debt of a Bulgarian municipality,\n"
    "saves it as an XML file with an integrity hash, reopens it for correction,\n"
    "prints it as the official form through a spreadsheet program and copies it\n"
    "to removable media. kvor-verify checks the hash of received reports.")
# The one place the maintainer is named: the .deb's Maintainer field comes from it.
set(CPACK_PACKAGE_CONTACT "KVOR developers <kvor@kvor.bg>")
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The shared libraries are found by dpkg-shlibdeps; Qt's Bulgarian texts of its own dialogs, the
# font the program draws the form in (and embeds in its PDFs) and a spreadsheet program to print
# from are not linked, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fonts-dejavu-core")
# Liberation Sans stands in for Arial, in which the printed form is laid out to fit one page.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libreoffice-calc | gnumeric, fonts-liberation2 | fonts-liberation")

# Per generator: the archive holds only the portable program folder.
configure_file(${CMAKE_CURRENT_LIST_DIR}/CPackProject.cmake.in
    ${CMAKE_BINARY_DIR}/CPackProject.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackProject.cmake)

include(CPack)
