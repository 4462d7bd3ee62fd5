# Runs in the staging folder before CPack packs the Debian package: Debian
# wants the changelog and the manual pages gzip-compressed, with no name and no
# timestamp in the gzip header (gzip -9n), whichever folder installed them.
find_program(GZIP gzip REQUIRED)
# Every package's staging folder (one per package when they are several).
file(GLOB_RECURSE all_staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
set(staged)
foreach(f IN LISTS all_staged)
  if(f MATCHES "/share/man/" OR f MATCHES "/share/doc/[^/]+/changelog$")
    list(APPEND staged ${f})
  endif()
endforeach()
foreach(f IN LISTS staged)
  if(f MATCHES "\\.gz$")
    continue()
  endif()
  execute_process(COMMAND ${GZIP} -9nf ${f} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${f}")
  endif()
endforeach()
