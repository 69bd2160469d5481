#!/usr/bin/env bash
# The builder as other projects use it: installs the ZorInstaller package from
# the native tree, configures a copy of examples/cmake-app against it with the
# MinGW toolchain, builds it (zor_add_installer makes the first installer,
# again only when an input changed), packs it with `cpack -G External` (the
# second installer) and installs the first one silently under Wine, in a
# prefix of its own.
# Usage: zorinstaller_package_test.sh SOURCE_DIR NATIVE_TREE WINDOWS_TREE CMAKE
set -euo pipefail
. "$(dirname "$0")/../support/shell_helpers.sh"

source_dir=$1
tree=$2
windows=$3
cmake=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
build=$work/build
step() {
  local name=$1
  shift
  "$@" >"$work/$name.log" 2>&1 || { cat "$work/$name.log"; fail "$name failed"; }
}

step install "$cmake" --install "$tree" --prefix "$prefix"
for file in bin/zorpack lib/cmake/ZorInstaller/ZorInstallerConfig.cmake lib/cmake/ZorInstaller/ZorInstallerConfigVersion.cmake \
  lib/cmake/ZorInstaller/ZorInstallerFunctions.cmake lib/cmake/ZorInstaller/ZorInstallerCPack.cmake; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done

cp -r "$source_dir/examples/cmake-app" "$work/app"
step configure "$cmake" -S "$work/app" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/toolchain-mingw64.cmake" \
  -DZorInstaller_DIR="$prefix/lib/cmake/ZorInstaller"
step build "$cmake" --build "$build"
setup=$build/CMakeApp-1.0-Setup.exe
[ -f "$setup" ] || fail "the build made no installer"
"$prefix/bin/zorpack" verify "$setup" >/dev/null || fail "the installer does not verify"
step rebuild "$cmake" --build "$build"
grep -q "no work to do" "$work/rebuild.log" || { cat "$work/rebuild.log"; fail "a build without changes did work"; }
touch "$work/app/readme.txt"
step changed "$cmake" --build "$build"
grep -q "Building the installer" "$work/changed.log" || { cat "$work/changed.log"; fail "a changed file did not rebuild the installer"; }

(cd "$build" && step cpack cpack -G External)
packed=$build/cmake-app-1.0-win64.exe
[ -f "$packed" ] || { cat "$work/cpack.log"; fail "cpack made no installer"; }
grep -q "package: $packed generated" "$work/cpack.log" || fail "cpack did not report $packed"
"$prefix/bin/zorpack" list "$packed" >"$work/list.txt"
grep -qE '^ +[0-9]+ +[0-9]+  cmake_app\.exe$' "$work/list.txt" && grep -q 'readme.txt' "$work/list.txt" ||
  { cat "$work/list.txt"; fail "the packed installer does not hold the staged tree"; }

export ZOR_WINEPREFIX=$work/wineprefix
unset ZOR_WINESERVER_PERSISTENT DISPLAY
"$source_dir/scripts/wine-session.sh" "$windows" "$windows/wine-run" "$(windows_path "$setup")" /S \
  "/D=C:\\CMake App" >"$work/wine.log" 2>&1 || { cat "$work/wine.log"; fail "the installer did not install"; }
for file in cmake_app.exe readme.txt uninstall.exe; do
  [ -f "$ZOR_WINEPREFIX/drive_c/CMake App/$file" ] || fail "$file is not installed"
done
echo "installed from both installers' build"
