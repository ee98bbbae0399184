# What `cpack -G ZIP` makes from the 32-bit Windows build:
# Tallowick-<version>-win32.zip, holding Tallowick.exe and README.TXT at its
# top. README.TXT is written with CRLF line ends, as Notepad on Windows 95
# reads them; its text is plain ASCII.
configure_file(${PROJECT_SOURCE_DIR}/resources/README.TXT.in ${PROJECT_BINARY_DIR}/README.TXT
    @ONLY NEWLINE_STYLE CRLF)
install(TARGETS Tallowick RUNTIME DESTINATION .)
install(FILES ${PROJECT_BINARY_DIR}/README.TXT DESTINATION .)

set(CPACK_PACKAGE_VENDOR "Velmora Software")
set(CPACK_PACKAGE_FILE_NAME Tallowick-${PROJECT_VERSION}-win32)
set(CPACK_GENERATOR ZIP)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
