# Installs the Debian packages Clipwright needs to build, test and run, and
# nothing when they are all there already (so apt is not called at all).
# Sourced by ./test and ./run.

CLIPWRIGHT_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev
    # the window: X11, Wayland and offscreen platform plugins, a font for
    # it and the offscreen tests, xdg-open for the help page and folders
    qt6-qpa-plugins qt6-wayland fonts-dejavu-core xdg-utils
    libsqlite3-dev sqlite3
    ffmpeg mplayer
    # the online-video tool asks it for the stream links of today's pages
    yt-dlp
    # FFmpeg's picture scaler, for bicubic scaling of pictures
    libswscale-dev
    # bench/download measures the download against curl
    curl
    xvfb xauth
    # the crash test presses the window's keys under Xvfb
    xdotool
    # the package test: lintian checks the .deb, appstreamcli and
    # desktop-file-validate its metadata and desktop entry, dpkg-shlibdeps
    # (dpkg-dev) finds its library dependencies, and the installed window
    # runs on a session bus of its own (dbus-run-session)
    lintian appstream desktop-file-utils dpkg-dev dbus-daemon
    # --hosts: GNU Parallel runs the batch over SSH and rsync moves the
    # files; the tests start their own sshd on loopback
    parallel openssh-client openssh-server rsync
)

clipwright_missing_packages() {
    local pkg
    for pkg in "${CLIPWRIGHT_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}\n' "$pkg" 2>/dev/null | grep -q '^install ok installed$'; then
            printf '%s\n' "$pkg"
        fi
    done
}

clipwright_ensure_packages() {
    local missing
    mapfile -t missing < <(clipwright_missing_packages)
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            echo "error: packages missing (${missing[*]}) and not running as root; install them with apt-get" >&2
            return 1
        fi
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}
