# The Debian package: `cpack` in a build tree configured with
# CMAKE_INSTALL_PREFIX=/usr (tools/package.sh does both). The package holds
# what `cmake --install` puts in the tree, at the configured prefix, so the
# compiled-in component folder is where the package puts the component.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillhorn)
set(CPACK_PACKAGE_VENDOR "Quillhorn")
set(CPACK_PACKAGE_CONTACT "The Quillhorn author <author@quillhorn.example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quillhorn.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "toolbox for character codes, checksums and ciphers")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillhorn converts texts to numeric character codes and back, computes
MD5, SHA-1, SHA-2 and CRC check values, and encrypts texts and files with
DES, Base64 and RSA. One window holds a navigation bar and one tool at a
time; its user interface is in Simplified Chinese, and the texts it works
on are bytes of the GBK code page. The command quillhorn-cli gives scripts
the same engines.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/CompressManPages.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Libraries the programs and the component link (Qt, libcrypto, the C++
# runtime) are found by dpkg-shlibdeps; what is only loaded or read at run time
# is named: Qt's platform plugins, Qt's own Chinese texts, and the fonts the
# panes ask for by name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-wqy-zenhei, fonts-arphic-uming")

include(CPack)
