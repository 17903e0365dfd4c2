# Install rules of the programs: the binary and its manual page made from its --help.
include(GNUInstallDirs)

find_program(FPR_HELP2MAN help2man)
find_program(FPR_GZIP gzip)
# Sanitizer builds are for the tests; their programs are not installed from there.
if(FPR_HELP2MAN AND FPR_GZIP AND NOT FPR_SANITIZE)
  set(FPR_MANPAGES ON)
else()
  set(FPR_MANPAGES OFF)
  message(STATUS "No manual pages (needs help2man and gzip, and no sanitizer)")
endif()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# fpr_install_program(<target> "<one line for the manual page's NAME>")
function(fpr_install_program target summary)
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Relocations read-only and bound at start, as Debian builds its programs.
  target_link_options(${target} PRIVATE -Wl,-z,relro -Wl,-z,now)
  if(NOT FPR_MANPAGES)
    return()
  endif()
  set(page ${CMAKE_BINARY_DIR}/man/${target}.1)
  # --version-string: help2man then needs only --help, which every program answers
  # without a display or a device.
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${FPR_HELP2MAN} --no-info --no-discard-stderr --section=1
            --version-string=${PROJECT_VERSION} --name=${summary} --output=${page}
            $<TARGET_FILE:${target}>
    COMMAND ${FPR_GZIP} -9nf ${page}
    DEPENDS ${target}
    COMMENT "Manual page of ${target}"
    VERBATIM)
  add_custom_target(${target}_manpage ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
