# libvantorico's Debian packages beside vantorico's (included by
# cmake/VantoricoPackaging.cmake in native builds). Install components map to
# packages through groups: the programs' components (cli/'s rules carry
# none, so theirs is Unspecified) make vantorico; capi/'s and python/'s make
# the library's three.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ONE_PER_GROUP)
set(CPACK_COMPONENTS_ALL Unspecified cli thumbnailer libvantorico libvantorico-dev
                         python3-vantorico)
foreach(component UNSPECIFIED CLI THUMBNAILER)
  set(CPACK_COMPONENT_${component}_GROUP program)
endforeach()
set(CPACK_COMPONENT_LIBVANTORICO_GROUP runtime)
set(CPACK_COMPONENT_LIBVANTORICO-DEV_GROUP dev)
set(CPACK_COMPONENT_PYTHON3-VANTORICO_GROUP python)

set(lib_package libvantorico${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME vantorico)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${lib_package})
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libvantorico-dev)
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-vantorico)
foreach(group PROGRAM RUNTIME DEV PYTHON)
  set(CPACK_DEBIAN_${group}_FILE_NAME DEB-DEFAULT)
endforeach()
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
# CPack puts the project's summary first in each (the Debian synopsis).
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
string(CONCAT CPACK_DEBIAN_RUNTIME_DESCRIPTION
  "libvantorico reads the icon and cursor groups of Windows program files\n"
  "(EXE, DLL, ICL, 16-bit NE or 32/64-bit PE) and icon files, from a path or\n"
  "from memory, and gives them as .ico and .cur files, PNG pictures, RGBA\n"
  "pixels and digests of the stored images.\n"
  "\n"
  "This package holds the shared library.")
string(CONCAT CPACK_DEBIAN_DEV_DESCRIPTION
  "libvantorico reads the icon and cursor groups of Windows program files\n"
  "and icon files and gives them as .ico and .cur files, PNG pictures, RGBA\n"
  "pixels and digests of the stored images.\n"
  "\n"
  "This package holds the C header, the static library and the files\n"
  "pkg-config and CMake find the library by.")
string(CONCAT CPACK_DEBIAN_PYTHON_DESCRIPTION
  "The vantorico module for Python 3 reads the icon and cursor groups of\n"
  "Windows program files and icon files through libvantorico. It also\n"
  "offers the interface of the icoextract module (IconExtractor), so that\n"
  "code written for it can use this one.")

# The library's package: its symbols and shlibs files, and the ldconfig
# trigger. CPack adds postinst and postrm scripts that call ldconfig to any
# package with a library in /usr/lib, which the trigger makes needless;
# deb_postbuild.cmake takes them out again.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/symbols ${PROJECT_SOURCE_DIR}/packaging/shlibs
    ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/deb_postbuild.cmake)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The -dev package holds no shared object of its own (only the link).
set(CPACK_DEBIAN_DEV_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
    "${lib_package} (= ${PROJECT_VERSION}), libpng-dev, zlib1g-dev, nettle-dev")
# The module is the same for every Python 3 and every architecture.
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3:any, ${lib_package} (>= ${PROJECT_VERSION})")
# Byte-compiled at installation (py3compile), as Debian's Python packages are.
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/python3-vantorico/postinst
    ${PROJECT_SOURCE_DIR}/packaging/python3-vantorico/prerm)
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Each package's own copyright file and changelog (compressed by
# deb_prebuild.cmake).
foreach(pair "libvantorico;${lib_package}" "libvantorico-dev;libvantorico-dev"
             "python3-vantorico;python3-vantorico")
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES packaging/copyright ${pkg_dir}/changelog
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endforeach()
