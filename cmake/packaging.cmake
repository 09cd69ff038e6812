# The download: Kolbrin-<version>-win64.zip / -win32.zip holding one folder Kolbrin\ with the program,
# its help in both forms, a readme a Japanese Notepad shows correctly, and the licence.
# `cmake --workflow --preset release-win64` (scripts/release.sh) builds and packs it into dist/.

# The readme and the licence are kept as UTF-8 with LF here; the download carries them with CR LF,
# the readme in code page 932, which is what Notepad on a Japanese system expects of a .txt file.
set(KOLBRIN_DIST_DIR "${CMAKE_BINARY_DIR}/dist-files")
configure_file("${CMAKE_SOURCE_DIR}/res/readme.txt" "${KOLBRIN_DIST_DIR}/readme.utf8.txt" @ONLY
               NEWLINE_STYLE CRLF)
configure_file("${CMAKE_SOURCE_DIR}/LICENSE" "${KOLBRIN_DIST_DIR}/LICENSE.txt" @ONLY NEWLINE_STYLE CRLF)
find_program(KOLBRIN_ICONV iconv REQUIRED)
add_custom_command(
    OUTPUT "${KOLBRIN_DIST_DIR}/readme.txt"
    COMMAND "${KOLBRIN_ICONV}" -f UTF-8 -t CP932 -o "${KOLBRIN_DIST_DIR}/readme.txt"
            "${KOLBRIN_DIST_DIR}/readme.utf8.txt"
    DEPENDS "${KOLBRIN_DIST_DIR}/readme.utf8.txt"
    COMMENT "Writing readme.txt in code page 932"
    VERBATIM)
add_custom_target(kolbrin_readme ALL DEPENDS "${KOLBRIN_DIST_DIR}/readme.txt")
install(FILES "${KOLBRIN_DIST_DIR}/readme.txt" "${KOLBRIN_DIST_DIR}/LICENSE.txt" DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(KOLBRIN_PACKAGE_ARCH win64)
else()
    set(KOLBRIN_PACKAGE_ARCH win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Kolbrin)
set(CPACK_PACKAGE_VENDOR "Kolbrin Project")
set(CPACK_PACKAGE_FILE_NAME "Kolbrin-${PROJECT_VERSION}-${KOLBRIN_PACKAGE_ARCH}")
# One folder named after the program, whatever the zip is called, so that unpacking any version gives
# the same place for the program and its 1.dat.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGING_INSTALL_PREFIX "/Kolbrin")
# The release presets link the program stripped (-s): strip would write its own time into the PE header.
set(CPACK_STRIP_FILES OFF)
set(CPACK_VERBATIM_VARIABLES ON)
# The stripped programs are signed where they are staged, when a certificate is named (KOLBRIN_SIGN_CERT,
# see scripts/release.sh), and the zip CPack wrote is then written again from the staged files so that the
# same sources give the same bytes: entry order, times and attributes fixed.
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_SOURCE_DIR}/cmake/sign_programs.cmake")
set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_SOURCE_DIR}/cmake/reproducible_zip.cmake")
set(CPACK_KOLBRIN_SOURCE_DIR "${CMAKE_SOURCE_DIR}")
include(CPack)
