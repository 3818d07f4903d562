# Sourced by every script that runs Wine: the environment of a Wine run of
# this project, in one of the build's private prefixes.
#   . scripts/wine-env.sh; varnet_wine_env test|ui <build-dir>
varnet_wine_env() {
  export WINEPREFIX=$2/wine/$1 WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
  # No Mono or Gecko installer prompts. No menu builder: it writes menu
  # entries, file types and icons into the user's home folder.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}
