# Shared by build-windows and run-windows-tests: the tools from Debian, Qt
# and GoogleTest cross-built for Windows (cached outside the tree), the
# project's Windows build and Wine to run it.

windows_scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$windows_scripts/../.." && pwd)"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/dravilo/windows"
build="$root/build-windows"
toolchain="$windows_scripts/mingw-w64.cmake"
mingw=x86_64-w64-mingw32-g++-posix

# Runs a step and says how long it took.
step() {
  local name="$1" start=$SECONDS
  shift
  "$@"
  printf '%s: %s took %d s\n' "$(basename "$0")" "$name" $((SECONDS - start))
}

# What is missing is installed, and Debian's source packages are made known
# (Qt's sources come from there).
install_packages() {
  local missing=() package update=""
  for package in g++-mingw-w64-x86-64-posix qt6-base-dev-tools cmake ninja-build googletest xz-utils zip "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
  done
  if ! grep -Eqs '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/*; then
    local codename
    codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
    printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
      "$codename" >/etc/apt/sources.list.d/dravilo-deb-src.sources
    update=yes
  fi
  if ((${#missing[@]})) || [[ -n "$update" ]]; then
    apt-get update -qq
    ((${#missing[@]} == 0)) || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

qt_for_windows() {
  qt="$("$windows_scripts/build-qt" | tail -1)"
}

# GoogleTest as a static library for Windows, kept in the cache like Qt.
gtest_for_windows() {
  local key
  key="$( (dpkg-query -W -f='${Version}\n' googletest g++-mingw-w64-x86-64-posix; cat "$toolchain") | sha256sum | cut -c1-12)"
  gtest="$cache/googletest-$key"
  [[ -e "$gtest/.complete" ]] && return
  rm -rf "$cache/googletest-build" "$gtest"
  cmake -S /usr/src/googletest -B "$cache/googletest-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_PREFIX="$gtest" >/dev/null
  cmake --build "$cache/googletest-build" >/dev/null
  cmake --install "$cache/googletest-build" >/dev/null
  touch "$gtest/.complete"
  rm -rf "$cache/googletest-build"
}

# The project's Windows build in build-windows/; its tests run through Wine.
configure_project() {
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" -DQT_CHAINLOAD_TOOLCHAIN_FILE="$toolchain" \
    -DGTest_DIR="$gtest/lib/cmake/GTest" \
    "-DCMAKE_CROSSCOMPILING_EMULATOR=$windows_scripts/wine-run;$qt/bin" >/dev/null
}

# The folders of the MinGW runtime DLLs the program needs beside Qt's.
mingw_runtime() {
  local dll
  for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    realpath "$("$mingw" -print-file-name="$dll")"
  done
}

# Wine's services start with the first program that needs them and keep
# its output open until they end, so that whoever reads that output waits
# for them: started here once, on nothing, they hold no test's output (the
# desktop and RPC services start with the first window). A session left
# from before is ended first: its services may know no display. The server
# stays up until stop_wine.
start_wine() {
  export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe,mscoree,mshtml=d"
  mkdir -p "$WINEPREFIX"
  stop_wine
  # The server's own notes (it dumps its objects when a pseudo-terminal it
  # holds hangs up) go to a file, not into the tests' output.
  /usr/lib/wine/wineserver -p >"$build/wineserver.log" 2>&1
  /usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1
  /usr/lib/wine/wine64 rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1
  # Wine finds no Windows interface fonts and stands DejaVu Math in for them,
  # whose text a line edit does not draw: DejaVu Sans stands in instead.
  local font
  for font in "MS Shell Dlg" "MS Shell Dlg 2" Tahoma "Segoe UI"; do
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d "DejaVu Sans" /f \
      </dev/null >/dev/null 2>&1
  done
}

# Ends the session's programs and waits until its server has gone.
stop_wine() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  /usr/lib/wine/wineserver -w 2>/dev/null || true
}
