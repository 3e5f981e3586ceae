# Shared by tools/run, tools/test and tools/fuzz: install what a fresh Debian 12 machine lacks,
# then configure and build the build tree, build/, and the fuzz targets' tree, build-fuzz/.

ZB_TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
ZB_BUILD="$ZB_TOP/build"
ZB_FUZZ_BUILD="$ZB_TOP/build-fuzz"
# Paths relative to the checkout, so that another clone hits the same compilation cache.
export CCACHE_BASEDIR="$ZB_TOP"

ZB_PACKAGES=(
  cmake ninja-build g++ ccache pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libmad0-dev libmp3lame-dev lame madplay python3-mutagen libvorbisidec-dev libogg-dev libexpat1-dev libsqlite3-dev
  sqlite3 sox ffmpeg vorbis-tools python3-pil icecast2 ezstream
  libfreetype-dev fonts-dejavu-core libpng-dev libjpeg62-turbo-dev libgif-dev libzip-dev
  libsdl2-dev libx11-dev xvfb xauth xdotool
  clang-14 libclang-rt-14-dev
)

zb_install_packages() {
  local missing=()
  for p in "${ZB_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq || true
  $sudo apt-get install -y -qq "${missing[@]}"
}

# zb_build ON|OFF|keep: sanitizers on, off, or as the existing build tree has them.
zb_build() {
  local sanitize=$1 args=()
  if [ "$sanitize" != keep ] || [ ! -f "$ZB_BUILD/CMakeCache.txt" ]; then
    [ "$sanitize" = keep ] && sanitize=OFF
    args+=("-DZB_SANITIZE=$sanitize")
  fi
  cmake -S "$ZB_TOP" -B "$ZB_BUILD" -G Ninja "${args[@]}" >/dev/null
  cmake --build "$ZB_BUILD" -j "$(nproc)"
}

# zb_build_fuzz: the fuzz targets with clang, linked with libFuzzer, over libraries built with its
# coverage hooks and with ASan and UBSan.
zb_build_fuzz() {
  CC=clang-14 CXX=clang++-14 cmake -S "$ZB_TOP" -B "$ZB_FUZZ_BUILD" -G Ninja -DZB_LIBFUZZER=ON >/dev/null
  cmake --build "$ZB_FUZZ_BUILD" -j "$(nproc)" --target fuzz_targets
}
