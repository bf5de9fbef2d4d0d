# Installs Debian packages that are missing; sourced by the scripts.
# Uses sudo when not root. Usage: ensure_packages PKG...

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if [ -z "${CALORIES_APT_UPDATED:-}" ]; then
    as_root apt-get update -q
    CALORIES_APT_UPDATED=1
  fi
  as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# What the native build, tests, fuzzing and benchmarks need.
NATIVE_PACKAGES=(cmake ninja-build g++ clang libclang-rt-14-dev llvm-14
                 libgtest-dev libbenchmark-dev)

# The cross toolchain for the 32-bit exe (Wine comes with scripts/wine-env.sh).
WINDOWS_PACKAGES=(g++-mingw-w64-i686 mingw-w64-i686-dev)
