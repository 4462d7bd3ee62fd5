# Release builds (presets `release`, `release-win32` and `release-win64`):
# optimised, stripped, and reproducible: two builds of one commit in two
# different folders give the same bytes. Nothing here applies to the other
# configurations.
#
# - No build paths: the source and build folders are mapped to fixed names in
#   everything the compiler records (__FILE__, debug info if any).
# - No timestamps: MinGW's linker leaves the PE header's TimeDateStamp at 0;
#   windres writes none into the resource directory; the rest of the toolchain
#   stamps nothing. scripts/release.sh exports SOURCE_DATE_EPOCH (the last
#   commit's time) for any tool that would.
# - Small: each function and datum in its own section, unused ones dropped by
#   the linker, symbols stripped; the Windows programs also optimised for size
#   and across their object files at link time.

# The build folder lies inside the source folder (build/<preset>); GCC tries
# the maps from the last given to the first, so the build folder's comes last.
add_compile_options(
  -ffile-prefix-map=${PROJECT_SOURCE_DIR}=/vantorico
  -ffile-prefix-map=${PROJECT_BINARY_DIR}=/vantorico/build
  -ffunction-sections -fdata-sections
  -fno-ident)  # no compiler version string in a .comment section
add_link_options(-Wl,--gc-sections -s)

if(WIN32)
  # The Windows programs ship as single static files: size over speed (their
  # work is bounded by the disk, not the CPU).
  add_compile_options(-Os)
  add_link_options(-Wl,--no-insert-timestamp)
  # Link-time optimisation over the project's own code (the static runtime
  # libraries are not LTO objects and link as before): about 30 KB off the
  # console program. The link step optimises for size too (-O2 comes from the
  # preset's flags, -Os last wins), in one partition: MinGW's GCC 12 stops
  # with an internal error in its dead-store pass when the link is split into
  # several partitions, and one partition also keeps the output independent
  # of how many jobs the link runs.
  set(CMAKE_INTERPROCEDURAL_OPTIMIZATION ON)
  add_link_options(-Os -flto-partition=one)
else()
  # Debian's hardening set, which lintian looks for in packaged binaries.
  add_compile_definitions(_FORTIFY_SOURCE=2)
  add_compile_options(-fstack-protector-strong)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
