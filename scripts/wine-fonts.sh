#!/usr/bin/env bash
# Gives a Wine prefix fonts for folder names in every script: the fonts of
# the dialogs (MS Sans Serif, Tahoma and the shell's dialog fonts) hold
# Latin, Greek and Cyrillic, and Tahoma Arabic; a name in Chinese, Japanese
# or Korean, or with an emoji, would draw as empty boxes. Wine's font
# linking adds, behind each of those fonts, the fonts that have these
# characters: Tahoma (Arabic), Droid Sans Fallback (CJK), Symbola (emoji,
# black and white; Wine does not draw colour emoji) and DejaVu Sans (the
# rest). The fonts come from Debian's packages (scripts/bootstrap.sh) and
# are copied into the prefix.
#   wine-fonts.sh        in the environment of a prefix (varnet_wine_env)
# Does nothing once done for the prefix; says which font is missing, if any,
# and carries on without it.
set -euo pipefail
[ -n "${WINEPREFIX:-}" ] && [ -n "${WINELOADER:-}" ] || { echo "wine-fonts: no Wine prefix given" >&2; exit 2; }
stamp=$WINEPREFIX/.varnet-fonts
setup="fonts 1"
[ "$(cat "$stamp" 2>/dev/null)" = "$setup" ] && exit 0

# file, face: the fonts linked, in the order Wine tries them.
fonts=(
  "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf,Droid Sans Fallback"
  "/usr/share/fonts/truetype/ancient-scripts/Symbola_hint.ttf,Symbola"
  "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf,DejaVu Sans"
)
links=
for entry in "${fonts[@]}"; do
  file=${entry%%,*}
  if [ -f "$file" ]; then
    cp "$file" "$WINEPREFIX/drive_c/windows/Fonts/"
    links+="$(basename "$file"),${entry#*,}\\0"
  else
    echo "wine-fonts: $file is missing (scripts/bootstrap.sh installs it)" >&2
  fi
done

# Tahoma, the prefix's own copy of Wine's font, comes first behind the
# fonts that lack Arabic.
key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for face in "MS Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "Tahoma"; do
  value=$links
  [ "$face" = Tahoma ] || value="tahoma.ttf,Tahoma\\0$links"
  env -u DISPLAY "$WINELOADER" reg.exe add "$key" /v "$face" /t REG_MULTI_SZ /d "${value%\\0}" /f \
    </dev/null >/dev/null 2>&1
done
env -u DISPLAY wineserver -w
echo "$setup" > "$stamp"
