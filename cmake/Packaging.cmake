# The Debian package: `cpack -G DEB` in a build tree packs what
# `cmake --install` installs, under /usr. dpkg-shlibdeps works out the
# library dependencies from the programs themselves, so they follow whatever
# Qt the package was built against.
set(QUORIN_PACKAGE_MAINTAINER "The Quorin developers <quorin@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME quorin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quorin developers")
set(CPACK_PACKAGE_CONTACT ${QUORIN_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "document assembly editor for templates and forms")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUORIN_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/quorin/quorin)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# CPack puts the summary first and indents these lines as the control file
# wants; an empty line becomes the paragraph break " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "\
Quorin is a rich-text editor built around document assembly. A Template is
an RTF document with merge tokens such as @1 and @2; an Information file
holds a heading line and a value line per entry. Do It fills every token,
inserting the values or overwriting in place so that a pre-printed form
keeps its layout, and leaves the finished document to print, save as RTF
or HTML, or paste into another word processor.

The package also holds quorin-batch, which merges and converts documents
from the command line, and sample templates from a legal office.")

include(CPack)
