# What ships and how it is packed (`cpack` in a release build folder):
#   release-win32: VantorICO-<version>-win32.zip (the window tool, the console
#                  CLI, README.txt, LICENSE.txt, NOTICE.txt)
#   release-win64: VantorICO-<version>-win64.zip (the same, built for x86-64)
#   release:       vantorico_<version>_amd64.deb (everything the native build
#                  installs: the CLI and whatever cli/ installs beside it, the
#                  thumbnailer, and the files below)
# scripts/release.sh builds and checks all three.

set(VANTORICO_MAINTAINER "The VantorICO developers <developers@vantorico.invalid>"
    CACHE STRING "Maintainer named in the packages (name <address>)")

set(CPACK_PACKAGE_NAME "vantorico")
set(CPACK_PACKAGE_VENDOR "The VantorICO developers")
set(CPACK_PACKAGE_CONTACT "${VANTORICO_MAINTAINER}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "extract the icons of Windows programs and icon files")
set(CPACK_PACKAGE_DESCRIPTION
    "VantorICO writes every icon group of a Windows program file (EXE, DLL, ICL,\n"
    "16-bit NE or 32/64-bit PE) or icon file as a .ico file of its own.\n"
    "\n"
    "This package holds the command-line extractor `vantorico` and a\n"
    "thumbnailer that lets freedesktop file managers show a program's own icon.")
string(CONCAT CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_STRIP_FILES OFF)  # the release flags strip at link time already
# Installed directories get mode 0755 whatever the umask of the machine.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(pkg_dir ${PROJECT_BINARY_DIR}/packaging)

if(WIN32)
  # The zip: both programs and three texts at the top of one folder, texts
  # with CRLF line ends for Notepad. Component `win32` only (for either
  # width), so install rules the folders carry for other platforms stay out.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(WINDOWS_BITS 64)
  else()
    set(WINDOWS_BITS 32)
  endif()
  if(TARGET VantorICO)
    install(TARGETS VantorICO RUNTIME DESTINATION . COMPONENT win32)
  endif()
  install(TARGETS vantorico RUNTIME DESTINATION . COMPONENT win32)
  set(VERSION ${PROJECT_VERSION})
  configure_file(docs/README-win32.txt ${pkg_dir}/README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE ${pkg_dir}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(NOTICE ${pkg_dir}/NOTICE.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${pkg_dir}/README.txt ${pkg_dir}/LICENSE.txt ${pkg_dir}/NOTICE.txt
          DESTINATION . COMPONENT win32)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME "VantorICO-${PROJECT_VERSION}-win${WINDOWS_BITS}")
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL win32)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)  # the one folder VantorICO-<version>-winNN/
else()
  # The CLI's folder owns its install rules; while it has none, the binary is
  # installed from here so that the package always holds it.
  file(READ ${PROJECT_SOURCE_DIR}/cli/CMakeLists.txt cli_lists)
  if(NOT cli_lists MATCHES "install\\(TARGETS[^)]*vantorico[ )\n]")
    install(TARGETS vantorico RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)
  endif()

  set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/vantorico)
  # Debian's machine-readable copyright file, and the changelog, whose top
  # entry carries the project's version and the last commit's date.
  install(FILES packaging/copyright DESTINATION ${doc_dir} COMPONENT cli)
  find_package(Git QUIET)
  set(VANTORICO_RELEASE_DATE "")
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%aD
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE VANTORICO_RELEASE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET)
  endif()
  if(VANTORICO_RELEASE_DATE STREQUAL "")
    set(VANTORICO_RELEASE_DATE "Thu, 01 Jan 1970 00:00:00 +0000")
  endif()
  configure_file(packaging/changelog.in ${pkg_dir}/changelog @ONLY)
  # The thumbnailer's manual page carries the project's version.
  configure_file(packaging/vantorico-thumbnailer.1 ${pkg_dir}/vantorico-thumbnailer.1 @ONLY)
  if(TARGET vantorico-thumbnailer)
    install(FILES ${pkg_dir}/vantorico-thumbnailer.1
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT thumbnailer)
  endif()
  # Compressed into the staging folder by deb_prebuild.cmake, with the man
  # pages, as Debian wants them (gzip -9n: no name, no timestamp).
  install(FILES ${pkg_dir}/changelog DESTINATION ${doc_dir} COMPONENT cli)

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_PACKAGE_NAME vantorico)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # vantorico_<version>_<arch>.deb
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # libc6, libstdc++6, libpng16-16, zlib1g, libseccomp2
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/deb_prebuild.cmake)
  # lintian (--pedantic) on the package: no error; scripts/release.sh fails on
  # any error or warning but this one, expected only while it lasts:
  #   W no-manual-page [usr/bin/vantorico]: the CLI's manual page is installed
  #     by cli/'s own rules (cli/vantorico.1); until those land the binary has
  #     none. release.sh allows the tag only while cli/vantorico.1 is absent.
  #   I binary-has-unneeded-section .comment (info only): our objects carry
  #     none (-fno-ident); the one left comes from the C library's start-up
  #     objects linked into every program.
  # No Homepage field: the project has no public web site (lintian says
  # nothing about it today).

  # Four packages from one install: vantorico (the programs: cli/ and the
  # thumbnailer), and libvantorico's libvantorico1 (the runtime library, with
  # its symbols file), libvantorico-dev (header, link, static library,
  # pkg-config and CMake files) and python3-vantorico (the module).
  include(${PROJECT_SOURCE_DIR}/packaging/library_packages.cmake)
endif()

include(CPack)
