# Sourced by the project's scripts: where the builds are, the options the
# scripts share, what this machine can run, and how a build runs Wine.
#
# Builds: <build>/win32 (x86) and <build>/win64 (x86-64), <build> being
# <repo>/build unless a script is given --build DIR. DIR may also be one
# build tree of either architecture (it holds varnet-arch): the scripts
# then use that tree alone.
#   varnet_option OPTION VALUE     takes --build DIR or --arch win32|win64
#                                  into varnet_build / varnet_arch_opt;
#                                  returns 1 when VALUE is missing or wrong
#   varnet_options USAGE ARGS...   takes those options and nothing else;
#                                  otherwise prints USAGE and exits 2
#   varnet_tree ARCH               the build tree of that architecture
#   varnet_arches                  the architectures to build: the one
#                                  asked for or of the tree named, else both
#   varnet_runs_32bit              true when the kernel runs 32-bit programs
#   varnet_can_run ARCH            true when this machine can run that
#                                  architecture's Wine; otherwise false,
#                                  with the reason in varnet_cannot_run
#   varnet_pick_arch               the architecture the tools use: the one
#                                  asked for, else win64 (which runs on
#                                  every machine that builds the project)
#   varnet_run_arch NAME           that architecture when this machine can
#                                  run it; otherwise says why, as NAME,
#                                  and exits 2
#   varnet_wine_env KIND TREE      the environment of a Wine run in one of
#                                  the tree's private prefixes (test, ui)
#   varnet_wine_check              true when the loader of that environment
#                                  starts; otherwise a clear message
varnet_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
varnet_build=${varnet_build:-$varnet_root/build}
varnet_arch_opt=${varnet_arch_opt:-}
varnet_cannot_run=

varnet_option() {
  [ -n "${2:-}" ] || return 1
  case $1 in
    --build) varnet_build=$2 ;;
    --arch)
      case $2 in
        win32|win64) varnet_arch_opt=$2 ;;
        *) echo "unknown architecture $2 (win32 or win64)" >&2; return 1 ;;
      esac ;;
    *) return 1 ;;
  esac
}

varnet_options() {
  local usage=$1
  shift
  while [ $# -gt 0 ]; do
    case $1 in
      --build|--arch) varnet_option "$1" "${2:-}" || { echo "usage: $usage" >&2; exit 2; }; shift 2 ;;
      *) echo "usage: $usage" >&2; exit 2 ;;
    esac
  done
}

varnet_tree() {
  if [ "$(cat "$varnet_build/varnet-arch" 2>/dev/null)" = "$1" ]; then
    echo "$varnet_build"
  else
    echo "$varnet_build/$1"
  fi
}

varnet_arches() {
  if [ -n "$varnet_arch_opt" ]; then
    echo "$varnet_arch_opt"
  elif [ -f "$varnet_build/varnet-arch" ]; then
    cat "$varnet_build/varnet-arch"
  else
    echo win64 win32
  fi
}

# The loader of each architecture. /usr/bin/wine, wineboot and winepath
# pick the 32-bit loader whenever 32-bit Wine is installed, whatever the
# prefix: the scripts never call them, only the loader itself.
varnet_loader() {
  case $1 in
    win64) echo /usr/lib/wine/wine64 ;;
    win32) echo /usr/lib/wine/wine ;;
  esac
}

# Runs 32-bit code: a 93-byte i386 ELF program that only exits with 0.
# Where the kernel has no IA-32 emulation it fails with "Exec format error";
# a folder mounted noexec fails otherwise, and the next folder is tried.
varnet_runs_32bit() {
  local dir probe err
  for dir in "${TMPDIR:-/tmp}" "$varnet_root"; do
    probe=$(mktemp -p "$dir" 2>/dev/null) || continue
    printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\010\064\0\0\0\0\0\0\0\0\0\0\0\064\0\040\0\1\0\0\0\0\0\0\0' > "$probe"
    printf '\1\0\0\0\0\0\0\0\0\200\4\010\0\200\4\010\135\0\0\0\135\0\0\0\5\0\0\0\0\020\0\0' >> "$probe"
    printf '\270\1\0\0\0\061\333\315\200' >> "$probe"
    chmod +x "$probe"
    if err=$("$probe" 2>&1); then
      rm -f "$probe"
      return 0
    fi
    rm -f "$probe"
    [[ $err = *"Exec format error"* ]] && return 1
  done
  return 1
}

varnet_can_run() {
  local loader out rc=0
  loader=$(varnet_loader "$1")
  if [ ! -x "$loader" ]; then
    if [ "$1" = win32 ] && ! varnet_runs_32bit; then
      varnet_cannot_run="this machine cannot run 32-bit programs (Exec format error; the kernel's IA-32 emulation is off)"
    elif [ "$1" = win32 ]; then
      varnet_cannot_run="32-bit Wine (wine32:i386) is not installed; scripts/bootstrap.sh said why when it ran"
    else
      varnet_cannot_run="$loader is not installed (scripts/bootstrap.sh installs it)"
    fi
    return 1
  fi
  out=$("$loader" --version 2>&1 </dev/null) || rc=$?
  if [ $rc -eq 0 ]; then
    return 0
  fi
  if [ $rc -eq 126 ] && [ "$1" = win32 ]; then
    varnet_cannot_run="this machine cannot run 32-bit programs ($loader: Exec format error; the kernel's IA-32 emulation is off)"
  else
    varnet_cannot_run="$loader does not start (exit $rc: $out)"
  fi
  return 1
}

varnet_pick_arch() {
  if [ -n "$varnet_arch_opt" ]; then
    echo "$varnet_arch_opt"
  elif [ -f "$varnet_build/varnet-arch" ]; then
    cat "$varnet_build/varnet-arch"
  elif [ -f "$(varnet_tree win64)/bin/VarnetPick.exe" ] || ! [ -f "$(varnet_tree win32)/bin/VarnetPick.exe" ]; then
    echo win64
  elif varnet_can_run win32; then
    echo win32
  else
    echo win64
  fi
}

varnet_run_arch() {
  local arch
  arch=$(varnet_pick_arch)
  if ! varnet_can_run "$arch"; then
    echo "$1: the $arch build cannot run here: $varnet_cannot_run" >&2
    exit 2
  fi
  echo "$arch"
}

varnet_wine_env() {
  local tree=$2 arch
  arch=$(cat "$tree/varnet-arch" 2>/dev/null) || {
    echo "$tree is not a configured build tree (no varnet-arch)" >&2
    return 1
  }
  export WINEPREFIX=$tree/wine/$1 WINEARCH=$arch WINEDEBUG=${WINEDEBUG:--all}
  WINELOADER=$(varnet_loader "$arch")
  export WINELOADER
  # No Mono or Gecko installer prompts. No menu builder: it writes menu
  # entries, file types and icons into the user's home folder.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

varnet_wine_check() {
  if ! varnet_can_run "$WINEARCH"; then
    echo "Wine for $WINEARCH cannot run here: $varnet_cannot_run" >&2
    return 1
  fi
}
