# What this machine can run, and where Wine's program files are: sourced by
# the scripts that set up, test, benchmark and fuzz.
#
#   machine_runs_i386         true when the kernel runs 32-bit x86 code
#                             ($MACHINE_I386_REASON says why not)
#   vantorico_cache_dir       the project's cache (Wine prefixes, Wine's files)
#   wine_pe_dir i386|x86_64   Wine's folder of PE files for the architecture
#   wine_file NAME            a file of those folders, the i386 one first

# A static i386 program of 93 bytes that only calls exit(0): an ELF header,
# one loadable segment, then xor ebx,ebx; mov eax,1; int 0x80.
MACHINE_I386_PROBE='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80'

vantorico_cache_dir() {
  local dir=${VANTORICO_WINE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/vantorico}
  mkdir -p "$dir"
  printf '%s\n' "$dir"
}

machine_runs_i386() {
  if [ -z "${MACHINE_RUNS_I386:-}" ]; then
    local probe out
    probe=$(mktemp "${TMPDIR:-/tmp}/vantorico-i386.XXXXXX")
    # shellcheck disable=SC2059
    printf "$MACHINE_I386_PROBE" >"$probe"
    chmod +x "$probe"
    if out=$("$probe" 2>&1); then
      MACHINE_RUNS_I386=yes MACHINE_I386_REASON=
    else
      # "Exec format error" from the kernel when it has no IA-32 emulation.
      MACHINE_RUNS_I386=no MACHINE_I386_REASON="a static i386 program fails: ${out##*: }"
    fi
    rm -f "$probe"
  fi
  [ "$MACHINE_RUNS_I386" = yes ]
}

WINE_SYSTEM_I386=/usr/lib/i386-linux-gnu/wine/i386-windows
WINE_SYSTEM_X86_64=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
WINE_CACHE_I386=$(vantorico_cache_dir)/wine-pe/i386-windows

wine_pe_dir() {
  local d
  case $1 in
    i386) for d in "$WINE_SYSTEM_I386" "$WINE_CACHE_I386"; do
            [ -f "$d/shell32.dll" ] && { printf '%s\n' "$d"; return 0; }
          done ;;
    x86_64) [ -f "$WINE_SYSTEM_X86_64/shell32.dll" ] && { printf '%s\n' "$WINE_SYSTEM_X86_64"; return 0; } ;;
  esac
  return 1
}

wine_file() {
  local arch d
  for arch in i386 x86_64; do
    d=$(wine_pe_dir "$arch") || continue
    [ -f "$d/$1" ] && { printf '%s\n' "$d/$1"; return 0; }
  done
  return 1
}
