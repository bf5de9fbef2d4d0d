# Sourced by the scripts that build the exe and run it under Wine.
# Needs scripts/lib/packages.sh and scripts/wine-env.sh sourced first.

# Installs the cross toolchain and Wine when missing; Wine needs root.
windows_setup() {
  ensure_packages "${WINDOWS_PACKAGES[@]}"
  if [ "$(id -u)" -eq 0 ]; then
    calories_wine_install
  else
    sudo bash -c '. scripts/wine-env.sh && calories_wine_install'
  fi
}

# windows_build [--quiet]: --quiet shows the build's output only when it fails.
windows_build() {
  local out status=0
  if [ "${1:-}" != "--quiet" ]; then
    cmake --preset windows >/dev/null && cmake --build --preset windows
    return
  fi
  out=$({ cmake --preset windows && cmake --build --preset windows; } 2>&1) || status=$?
  [ "$status" -eq 0 ] || printf '%s\n' "$out" >&2
  return "$status"
}

# A private prefix kept between runs under build/, and (without a display,
# or when asked) a private Xvfb. windows_down stops what was started.
windows_up() {
  calories_wine_prefix "${CALORIES_WINE_PREFIX:-$PWD/build/wine-prefix}"
  if [ -z "${DISPLAY:-}" ] || [ "${1:-}" = "--private-display" ]; then
    calories_xvfb_start "${CALORIES_SCREEN:-1280x1024x24}"
  fi
}

windows_down() {
  calories_wine_down || true
  calories_xvfb_stop || true
}
