# Runs in the staging folder before CPack packs the Debian package: Debian
# wants the changelog and the manual pages gzip-compressed, with no name and no
# timestamp in the gzip header (gzip -9n), whichever folder installed them.
find_program(GZIP gzip REQUIRED)
file(GLOB_RECURSE staged LIST_DIRECTORIES false
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/*"
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/vantorico/changelog")
foreach(f IN LISTS staged)
  if(f MATCHES "\\.gz$")
    continue()
  endif()
  execute_process(COMMAND ${GZIP} -9nf ${f} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${f}")
  endif()
endforeach()
