#!/usr/bin/env bash
# The set-up's decisions, without a network: scripts/bootstrap.sh runs with
# stand-in apt-get, dpkg, dpkg-query, sudo and locale commands first on the
# PATH. Each case sets what the stand-ins answer, then checks the exit
# code, the package commands that ran and what was printed.
#   bootstrap_test.sh <source-dir>
set -uo pipefail
src=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
stubs=$tmp/bin
mkdir -p "$stubs"

# The stand-ins keep the machine's state in $STUB: installed (one package a
# line), arches (foreign architectures) and calls (every package command
# that would change something, one a line). STUB_UPDATE=fail makes every
# `apt-get update` fail as a mirror out of step does; a package listed in
# STUB_BROKEN cannot be installed.
cat > "$stubs/dpkg-query" <<'EOF'
#!/bin/bash
grep -qx "${@: -1}" "$STUB/installed" && echo 'install ok installed'
exit 0
EOF
cat > "$stubs/dpkg" <<'EOF'
#!/bin/bash
case $1 in
  --print-foreign-architectures) cat "$STUB/arches" ;;
  --add-architecture) echo "dpkg $*" >> "$STUB/calls"; echo "$2" >> "$STUB/arches" ;;
  --audit) ;;
  *) echo "dpkg $*" >> "$STUB/calls" ;;
esac
EOF
cat > "$stubs/apt-get" <<'EOF'
#!/bin/bash
pkgs=() sim=0 cmd=
for a in "$@"; do
  case $a in
    -s) sim=1 ;;
    -*) ;;
    update|install) cmd=$a ;;
    *) pkgs+=("$a") ;;
  esac
done
[ $sim -eq 1 ] || echo "apt-get $cmd ${pkgs[*]}" >> "$STUB/calls"
if [ "$cmd" = update ]; then
  if [ "${STUB_UPDATE:-}" = fail ]; then
    echo "E: Failed to fetch http://mirror/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?"
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
    exit 100
  fi
  exit 0
fi
for p in "${pkgs[@]}"; do
  if [[ " ${STUB_BROKEN:-} " = *" $p "* ]]; then
    echo "The following packages have unmet dependencies:"
    echo " $p : Depends: libfoo (= 2) but 1 is to be installed"
    echo "E: Unable to correct problems, you have held broken packages."
    exit 100
  fi
done
[ $sim -eq 1 ] || printf '%s\n' "${pkgs[@]}" >> "$STUB/installed"
EOF
printf '#!/bin/bash\nexec "$@"\n' > "$stubs/sudo"
printf '#!/bin/bash\necho ja_JP.utf8\n' > "$stubs/locale"
chmod +x "$stubs"/*

# Every package the set-up installs, 32-bit Wine last.
all=$(sed -n '/^base=(/,/)/p' "$src/scripts/bootstrap.sh" | tr -d '()' | sed 's/^base=//' | tr -s ' \n' '\n' | grep .)
base_count=$(echo "$all" | wc -l)

failures=0
# run NAME PROBE32 INSTALLED ENV...: a fresh machine state, then bootstrap.
run() {
  local name=$1 probe=$2 have=$3
  shift 3
  export STUB=$tmp/$name
  mkdir -p "$STUB"
  : > "$STUB/calls"
  : > "$STUB/arches"
  case $have in
    all) { echo "$all"; echo wine32:i386; } > "$STUB/installed" ;;
    base) echo "$all" > "$STUB/installed" ;;
    some) echo "$all" | grep -vx -e xdotool -e wine64 > "$STUB/installed" ;;
  esac
  env PATH="$stubs:$PATH" VARNET_BOOTSTRAP_PAUSE=0 VARNET_BOOTSTRAP_STATE="$STUB/state" \
      VARNET_BOOTSTRAP_PROBE32="$probe" "$@" bash "$src/scripts/bootstrap.sh" >"$STUB/out" 2>&1
  echo $? > "$STUB/rc"
}
# check NAME RC CALLS PRINTED...: the exit code, the package commands in
# order (one string, lines joined by "|"), and text each printed line holds.
check() {
  local name=$1 rc=$2 calls=$3 s=$tmp/$1 text
  shift 3
  [ "$(cat "$s/rc")" = "$rc" ] || { echo "FAILED $name: exit code $(cat "$s/rc"), expected $rc"; failures=$((failures + 1)); }
  [ "$(paste -sd '|' "$s/calls")" = "$calls" ] ||
    { echo "FAILED $name: package commands"; sed 's/^/  ran: /' "$s/calls"; echo "  expected: $calls"; failures=$((failures + 1)); }
  for text in "$@"; do
    grep -qF -- "$text" "$s/out" || { echo "FAILED $name: nothing printed says \"$text\""; failures=$((failures + 1)); }
  done
  echo "$name: exit code $(cat "$s/rc")"
  sed "s/^/  $name: /" "$s/out"
}

run present true all
check present 0 ''
[ -s "$tmp/present/out" ] && { echo "FAILED present: printed something"; failures=$((failures + 1)); }

run index-fails false some STUB_UPDATE=fail
check index-fails 0 'apt-get update |apt-get update |apt-get update |apt-get install wine64 xdotool' \
  'some package indexes could not be fetched (3 tries)' 'Mirror sync in progress?' \
  'installing wine64 xdotool' 'this machine cannot run 32-bit programs'

run no-32bit-packages true base STUB_BROKEN=wine32:i386
check no-32bit-packages 0 'dpkg --add-architecture i386|apt-get update |apt-get install wine32:i386' \
  'adding the i386 architecture' '32-bit Wine could not be installed, going on without it' 'held broken packages'
# The failure is remembered: the next command does not wait on the mirror
# again, but says why 32-bit Wine is missing; --retry tries at once.
run no-32bit-packages-again true base STUB_BROKEN=wine32:i386 VARNET_BOOTSTRAP_STATE="$tmp/no-32bit-packages/state"
check no-32bit-packages-again 0 '' 'it could not be installed at' 'held broken packages' '--retry'

run cannot-run-32bit false base
check cannot-run-32bit 0 '' '32-bit Wine is not installed: this machine cannot run 32-bit programs'

run base-broken true some STUB_BROKEN=xdotool
check base-broken 1 'dpkg --add-architecture i386|apt-get update |apt-get install wine64 xdotool' \
  'these packages could not be installed, and the build needs them' \
  '  xdotool:' 'xdotool : Depends: libfoo' 'wine64 (apt could install it alone'
grep -q 'wine32' "$tmp/base-broken/calls" && { echo "FAILED base-broken: 32-bit Wine was tried after the build's own packages failed"; failures=$((failures + 1)); }

echo "bootstrap cases: $failures failed (of $base_count packages every machine needs)"
[ $failures -eq 0 ]
