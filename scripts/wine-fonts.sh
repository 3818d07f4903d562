#!/usr/bin/env bash
# Gives a Wine prefix fonts for folder names in every script. The dialog
# font, MS Sans Serif, is a bitmap font of code page 1252 in Wine: Greek,
# Cyrillic, Arabic, CJK and emoji names draw as bars or empty boxes. Here
# the dialogs' MS Sans Serif becomes DejaVu Sans (Latin, Greek, Cyrillic,
# Arabic), with Droid Sans Fallback (CJK) and Symbola (symbols and emoji,
# black and white) behind it, all from Debian's packages (installed by
# scripts/bootstrap.sh):
# - the bitmap MS Sans Serif goes from the prefix, and Wine takes the font
#   for that name from its font links (the first linked font; Wine's own
#   TrueType MS Sans Serif holds bitmaps only, which Wine skips);
# - DejaVu Sans links to the others, for the text that the tree view and
#   other controls draw with GDI;
# - Uniscribe, which draws the edit boxes (the path and error boxes), takes
#   its fallback font for each script from Wine's own setting.
# Wine 8 draws GDI text one UTF-16 unit at a time: a character outside the
# Basic Multilingual Plane (most emoji) shows in the edit boxes but as two
# boxes in the tree.
#   wine-fonts.sh        in the environment of a prefix (varnet_wine_env)
# Does nothing once done for the prefix; says which font is missing, if any.
set -euo pipefail
[ -n "${WINEPREFIX:-}" ] && [ -n "${WINELOADER:-}" ] || { echo "wine-fonts: no Wine prefix given" >&2; exit 2; }
stamp=$WINEPREFIX/.varnet-fonts
setup="fonts 2"
[ "$(cat "$stamp" 2>/dev/null)" = "$setup" ] && exit 0

fontdir=$WINEPREFIX/drive_c/windows/Fonts
for file in /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
            /usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf \
            /usr/share/fonts/truetype/ancient-scripts/Symbola_hint.ttf; do
  if [ -f "$file" ]; then
    cp "$file" "$fontdir/"
  else
    echo "wine-fonts: $file is missing (scripts/bootstrap.sh installs it)" >&2
  fi
done
rm -f "$fontdir"/sserif*.fon

reg() { env -u DISPLAY "$WINELOADER" reg.exe add "$@" /f </dev/null >/dev/null 2>&1; }
links='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
reg "$links" /v "MS Sans Serif" /t REG_MULTI_SZ /d 'DejaVuSans.ttf,DejaVu Sans'
reg "$links" /v "DejaVu Sans" /t REG_MULTI_SZ /d 'DroidSansFallbackFull.ttf,Droid Sans Fallback\0Symbola_hint.ttf,Symbola'

# Uniscribe's fallback font of a script: the value named by the script's
# tag, its four letters read as a little-endian number in hexadecimal
# (0 for characters of no script).
tag() {
  local t=$1 n=0 i
  for i in 3 2 1 0; do n=$(( n << 8 | $(printf '%d' "'${t:$i:1}") )); done
  printf '%x' $n
}
fallback='HKCU\Software\Wine\Uniscribe\Fallback'
for script in hani kana hira hang bopo; do reg "$fallback" /v "$(tag $script)" /d "Droid Sans Fallback"; done
for script in grek cyrl arab hebr armn geor; do reg "$fallback" /v "$(tag $script)" /d "DejaVu Sans"; done
for value in 0 "$(tag zyyy)" "$(tag zsym)" "$(tag zsye)"; do reg "$fallback" /v "$value" /d "Symbola"; done

env -u DISPLAY wineserver -w
echo "$setup" > "$stamp"
