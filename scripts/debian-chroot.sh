# Sourced by the scripts that run tests in a Debian chroot kept under build/ (test32.sh, test-other-wine.sh):
# the chroot is made with debootstrap from the machine's own Debian mirror and kept while its recipe is
# unchanged. Every step has a time limit, so a hang costs a known time and never a CI run.
readonly chroot_debootstrap_limit=900 chroot_packages_limit=1200

# The machine's own Debian mirror: on CI it is the only network there is.
debian_mirror() {
    local found
    found=$(sed -n 's/^URIs: *\(http[^ ]*\/debian\)\/\?$/\1/p' /etc/apt/sources.list.d/debian.sources \
            2>/dev/null)
    [ -n "$found" ] ||
        found=$(awk '$1 == "deb" && $2 ~ /\/debian\/?$/ { sub(/\/$/, "", $2); print $2 }' /etc/apt/sources.list \
                2>/dev/null)
    echo "${found:-http://deb.debian.org/debian}" | head -1
}

# The codename of the machine's Debian release (bookworm, trixie), empty elsewhere.
debian_release() {
    ( . /etc/os-release 2>/dev/null && [ "${ID:-}" = debian ] && echo "${VERSION_CODENAME:-}" )
}

# chroot_ensure DIR RELEASE FOREIGN_ARCH PACKAGES...
# Makes DIR a chroot of RELEASE with PACKAGES (FOREIGN_ARCH, when not empty, is added to dpkg first) unless
# it is there already with the same recipe (the ready mark holds a digest of it). Logs go beside DIR.
# KOLBRIN_CHROOT_FRESH=1 makes it anew. Prints one line of what it did; returns non-zero on a failure.
chroot_ensure() {
    local dir=$1 release=$2 arch=$3
    shift 3
    local digest start=$SECONDS new="$dir.new"
    digest=$(printf '%s\n' "$release" "$arch" "$@" "$(declare -f chroot_ensure)" | sha256sum | cut -d' ' -f1)
    if [ -z "${KOLBRIN_CHROOT_FRESH:-}" ] && [ "$(cat "$dir/.kolbrin-ready" 2>/dev/null)" = "$digest" ]; then
        echo "chroot: $release kept in $dir"
        return 0
    fi
    # A run's mounts live in its own namespace and end with it: never delete a chroot that something still
    # has mounted (the project folder is mounted in there).
    if grep -qF " ${dir// /\\040}" /proc/self/mounts; then
        echo "chroot: something is still mounted under $dir" >&2
        return 1
    fi
    echo "chroot: making $release in $dir (debootstrap, then ${*})"
    rm -rf "$new"
    mkdir -p "$(dirname "$dir")"
    timeout -k 10 "$chroot_debootstrap_limit" \
        debootstrap --variant=minbase --arch=amd64 "$release" "$new" "$(debian_mirror)" \
        >"$dir.debootstrap.log" 2>&1 || { tail -5 "$dir.debootstrap.log" >&2; return 1; }
    echo "chroot: debootstrap done ($((SECONDS - start))s)"
    # Foreign maintainer scripts are shell scripts run by the chroot's own shell: no emulation is needed.
    timeout -k 10 "$chroot_packages_limit" chroot "$new" /bin/sh -c "
        { [ -z '$arch' ] || dpkg --add-architecture '$arch'; } && apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $* &&
        apt-get clean && sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen && locale-gen" \
        >"$dir.packages.log" 2>&1 ||
        { tail -5 "$dir.packages.log" >&2; return 1; }
    rm -rf "$dir"
    mv "$new" "$dir"
    echo "$digest" >"$dir/.kolbrin-ready"
    echo "chroot: $release ready ($((SECONDS - start))s)"
}

# chroot_mount DIR PROJECT
# Inside a mount namespace of the caller's own: the system's file systems, the project at its own path and
# the X server's sockets, so that a program in the chroot sees the same files and display.
chroot_mount() {
    local dir=$1 project=$2
    mount -t proc proc "$dir/proc"
    mount --rbind /dev "$dir/dev"
    mount --rbind /sys "$dir/sys"
    mkdir -p "$dir$project" "$dir/tmp/.X11-unix"
    mount --bind "$project" "$dir$project"
    mount --bind /tmp/.X11-unix "$dir/tmp/.X11-unix"
}

# bmp_to_png FROM TO: the screenshots a Windows-side run left, as PNG files in a new folder TO.
bmp_to_png() {
    local bmp
    rm -rf "$2"
    mkdir -p "$2"
    for bmp in "$1"/*.bmp; do
        [ -e "$bmp" ] || continue
        convert "$bmp" "$2/$(basename "${bmp%.bmp}").png"
    done
}
