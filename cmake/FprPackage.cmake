# make package: one velmora-fpr-tools_<version>_<arch>.deb in <build>/package.
set(FPR_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/velmora-fpr-tools)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/fprtest.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/fprtest.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${FPR_DOC_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${FPR_DOC_DIR}/examples)

# A package without a Debian revision is native: its changelog is changelog.gz.
set(FPR_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${FPR_CHANGELOG} @ONLY)
if(FPR_GZIP)
  add_custom_command(OUTPUT ${FPR_CHANGELOG}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${FPR_CHANGELOG} ${FPR_CHANGELOG}.copy
    COMMAND ${FPR_GZIP} -9nf ${FPR_CHANGELOG}.copy
    COMMAND ${CMAKE_COMMAND} -E rename ${FPR_CHANGELOG}.copy.gz ${FPR_CHANGELOG}.gz
    DEPENDS ${FPR_CHANGELOG}
    VERBATIM)
  add_custom_target(fpr_changelog ALL DEPENDS ${FPR_CHANGELOG}.gz)
  install(FILES ${FPR_CHANGELOG}.gz DESTINATION ${FPR_DOC_DIR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora-fpr-tools)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "VELMORA")
set(CPACK_PACKAGE_CONTACT "VELMORA test tools <fpr-tools@velmora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "test console and tools for VELMORA fiscal printers")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "The console fprtest sends the commands of a VELMORA fiscal printer or cash\n"
  "register one at a time over a serial line or TCP, runs test receipts and\n"
  "shows every frame of the exchange. fprcmd does the same from the command\n"
  "line and from scripts; fprsim stands in for the device.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.velmora.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
