#!/usr/bin/env bash
# Set-up, build, run and test on Debian 12.
#   tools/tesouraria.sh run    install what is missing, build, create the embedded
#                              demonstration database when absent, start the program
#   tools/tesouraria.sh test   install what is missing, build, run every test (the
#                              server-mode tests against a Firebird server started on
#                              127.0.0.1 for the run and stopped afterwards)
#   tools/tesouraria.sh build  install what is missing and build only
#   tools/tesouraria.sh bench  build and run every benchmark at its default size (the
#                              server ones against a Firebird server started for the run)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="$ROOT/build"

PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-charts-dev libgl-dev
          firebird3.0-server-core firebird3.0-utils firebird-dev libfbclient2
          libjpeg62-turbo-dev qt6-translations-l10n libcups2-dev
          fonts-liberation2 fonts-wine fonts-ebgaramond)
TEST_PACKAGES=(firebird3.0-server iproute2 poppler-utils)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
  fi
}

build() {
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESOURARIA_WERROR=ON >/dev/null
  cmake --build "$BUILD" -j "$(nproc)"
}

demo_database() {
  local ini="$BUILD/ZELTESOURARIA.INI"
  if [ ! -f "$ini" ]; then
    mkdir -p "$BUILD/dados"
    local db="$BUILD/dados/tesouraria.fdb"
    [ -f "$db" ] || "$BUILD/tesouraria-admin" init "$db" --demo
    printf '[DADOS]\r\nSERVIDOR=%s\r\n' "$db" > "$ini"
    echo "== configuration written to $ini"
  fi
}

case "${1:-}" in
  run)
    install_missing "${PACKAGES[@]}"
    build
    demo_database
    exec "$BUILD/tesouraria"
    ;;
  build)
    install_missing "${PACKAGES[@]}"
    build
    ;;
  test)
    install_missing "${PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build
    # shellcheck source=tools/fbserver.sh
    source "$ROOT/tools/fbserver.sh"
    fbserver_start
    trap fbserver_stop EXIT
    export ZEL_TEST_SERVER=127.0.0.1 ZEL_TEST_SERVER_DIR="$FBSERVER_DIR" ZEL_TEST_SERVER_PASSWORD="$FBSERVER_PASSWORD"
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir "$BUILD" --output-on-failure -j 2
    ;;
  bench)
    install_missing "${PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build
    source "$ROOT/tools/fbserver.sh"
    fbserver_start
    trap fbserver_stop EXIT
    export ZEL_TEST_SERVER=127.0.0.1 ZEL_TEST_SERVER_DIR="$FBSERVER_DIR" ZEL_TEST_SERVER_PASSWORD="$FBSERVER_PASSWORD"
    export QT_QPA_PLATFORM=offscreen
    for b in "$BUILD"/bench_*; do
      [ -x "$b" ] || continue
      echo "== $(basename "$b")"
      "$b"
    done
    ;;
  *)
    sed -n '2,11p' "$0"
    exit 2
    ;;
esac
