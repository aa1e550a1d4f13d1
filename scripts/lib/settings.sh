# Settings that the scripts and the build share, kept here only.
#
# Sourced by scripts/deps, scripts/test, scripts/demo and cmake/wine-run.
# CMake and the Python test drivers run it with the names they want and read
# one value per line:
#   bash scripts/lib/settings.sh TW_DEPS_DIR TW_WINE64
#
#   TARNWICK_DEPS_CACHE  root of the dependency cache; the caller may set it.
#                        Default ~/.cache/tarnwick-deps, with the account's
#                        home folder from the password database where HOME
#                        is unset (CI and service shells).
#   TW_DEPS_VERSION      raised when the cache's contents change in a way that
#                        an old cache must not be reused
#   TW_DEPS_DIR          what ./scripts/deps fills and CMake reads
#   TW_WINE64            Wine's 64-bit loader; it starts 32-bit programs too,
#                        through WoW64, as 64-bit Windows does
#   TW_WINE32            Wine's 32-bit loader, for pure 32-bit prefixes
#                        (WINEARCH=win32), the Windows XP setting
#   TW_WINESERVER        Wine's server (waits for or ends a prefix's programs)

if [[ -z ${TARNWICK_DEPS_CACHE:-} ]]; then
  TARNWICK_DEPS_CACHE=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}/.cache/tarnwick-deps
fi
TW_DEPS_VERSION=3
TW_DEPS_DIR=$TARNWICK_DEPS_CACHE/v$TW_DEPS_VERSION
TW_WINE64=/usr/lib/wine/wine64
TW_WINE32=/usr/lib/wine/wine
TW_WINESERVER=/usr/lib/wine/wineserver
export TARNWICK_DEPS_CACHE TW_DEPS_VERSION TW_DEPS_DIR TW_WINE64 TW_WINE32 TW_WINESERVER

# Run rather than sourced: print the named values.
if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
  for name in "$@"; do
    [[ -v $name ]] || { echo "settings.sh: no setting $name" >&2; exit 2; }
    printf '%s\n' "${!name}"
  done
fi
