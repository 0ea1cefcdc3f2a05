# Debian packages each part of the project needs; sourced by run.sh,
# test.sh, bench/run-bench.sh and fuzz/run-fuzz.sh.

GB_BUILD_PACKAGES="cmake ninja-build g++ pkg-config libspng-dev libdeflate-dev qt6-base-dev libxcb1-dev libturbojpeg0-dev libjpeg62-turbo-dev nettle-dev nlohmann-json3-dev libarchive-dev libgsf-1-dev qt6-l10n-tools scdoc"
GB_RUNTIME_PACKAGES="qt6-translations-l10n fonts-wqy-microhei fonts-arphic-ukai qt6-wayland"
GB_TEST_PACKAGES="git parallel liblzma-dev mandoc bash-completion zsh fish clang-format clang-tidy-16 libgtest-dev libgmock-dev binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 cpp icoutils imagemagick xvfb xauth openbox xdotool x11-apps x11-utils libjpeg-turbo-progs desktop-file-utils appstream weston dbus-daemon zip p7zip-full gcab xorriso wixl msitools wine wine64 libglib2.0-bin libxcursor-dev"
GB_BENCH_PACKAGES="libbenchmark-dev hyperfine icoutils libjpeg-turbo-progs icoextract python3-pil"
GB_PACKAGING_PACKAGES="dpkg-dev lintian wixl"
GB_FUZZ_PACKAGES="clang-16 libclang-rt-16-dev"

# Installs the named packages that are missing, as root or through sudo.
gb_install_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; return 1; }
        sudo="sudo"
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
