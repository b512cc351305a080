# Sourced by scripts/test-win32.sh: Wine for the shipped 32-bit program on a machine
# without a 32-bit CPU mode. Debian's i386 Wine runs under qemu's user-mode emulation,
# beside the system's 64-bit Wine, in one mixed (64-bit with 32-bit support) prefix.
#
#   kv32_prepare          make (or reuse) the emulated Wine and a booted prefix template
#   kv32_prefix DIR       make DIR a fresh prefix, a copy of the template
#   kv32_wine ARGS...     run a Windows program (32- or 64-bit) in $WINEPREFIX
#
# The i386 packages are downloaded with apt into a folder of their own and unpacked there;
# nothing is installed into the system (an installed wine32:i386 would make every 64-bit
# program of the tests start through the 32-bit loader, under emulation). Downloads, the
# unpacked tree and the booted template are kept in the user's cache folder, keyed by the
# system's Wine version, so that a second run on the same machine only copies the template.
KV_ROOT=${KV_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES='winemenubuilder.exe=d;mscoree=d;mshtml=d'
export WINEARCH=win64

# The i386 X libraries that Wine's X11 driver loads at run time (libwine only recommends
# them, so apt does not bring them by itself).
KV32_EXTRA_PACKAGES="libxrender1 libxrandr2 libxi6 libxcursor1 libxfixes3 libxinerama1
  libxcomposite1 libxxf86vm1 libgnutls30 libdbus-1-3"

kv32_log() { echo "wine32: $*" >&2; }

kv32_paths() {
    local version
    version=$(dpkg-query -W -f='${Version}' libwine:amd64 2>/dev/null) || return 1
    [ -n "$version" ] || return 1
    KV32_VERSION=$version
    KV32_CACHE=${KV_WINE32_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kavexinstall/wine32-${version//[^A-Za-z0-9.+-]/_}}
    KV32_ROOT=$KV32_CACHE/root
    KV32_TEMPLATE=$KV32_CACHE/prefix-template
    KV32_WINE64=$KV32_ROOT/usr/lib/wine/wine64
}

# apt with a state of its own: the system's sources, i386 as the only architecture, and an
# empty list of installed packages, so that the whole dependency closure is downloaded.
kv32_download() {
    local apt=$KV32_CACHE/apt
    mkdir -p "$apt/lists/partial" "$apt/archives/partial"
    : >"$apt/status"
    cat >"$apt/apt.conf" <<EOF
Dir::State "$apt";
Dir::State::Lists "$apt/lists";
Dir::State::status "$apt/status";
Dir::Cache "$apt";
Dir::Cache::archives "$apt/archives";
Dir::Cache::pkgcache "";
Dir::Cache::srcpkgcache "";
APT::Architecture "i386";
APT::Architectures { "i386"; };
APT::Install-Recommends "false";
APT::Sandbox::User "root";
EOF
    kv32_log "downloading Debian's i386 Wine $KV32_VERSION and what it needs"
    APT_CONFIG=$apt/apt.conf apt-get update -qq || return 1
    # shellcheck disable=SC2086
    APT_CONFIG=$apt/apt.conf apt-get install --download-only -y -qq \
        "wine32=$KV32_VERSION" "libwine=$KV32_VERSION" $KV32_EXTRA_PACKAGES >/dev/null || return 1
}

# The unpacked packages, with what their installation scripts would have done and the
# 64-bit half of the mixed tree beside them.
kv32_unpack() {
    local root=$KV32_ROOT.partial deb
    rm -rf "$root"
    mkdir -p "$root"
    kv32_log "unpacking $(ls "$KV32_CACHE"/apt/archives/*.deb | wc -l) packages"
    for deb in "$KV32_CACHE"/apt/archives/*.deb; do
        dpkg -x "$deb" "$root" || return 1
    done
    local lib32=$root/usr/lib/i386-linux-gnu/wine lib64=$root/usr/lib/x86_64-linux-gnu/wine
    [ -x "$root/usr/lib/wine/wine" ] && [ -d "$lib32/i386-windows" ] || {
        kv32_log "the i386 Wine loader is not where it was expected"
        return 1
    }
    # libwine's installation makes zlib1.dll a Wine builtin from MinGW's zlib; without it
    # user32 does not load.
    local zlib
    zlib=$(ls "$root"/usr/i686-w64-mingw32/lib/zlib1.dll /usr/i686-w64-mingw32/lib/zlib1.dll 2>/dev/null | head -n 1)
    [ -n "$zlib" ] || { kv32_log "no i686 zlib1.dll (package libz-mingw-w64)"; return 1; }
    {
        head -c 64 "$zlib"
        printf 'Wine builtin DLL'
        head -c 16 /dev/zero
        tail -c +97 "$zlib"
    } >"$lib32/i386-windows/zlib1.dll"
    # The i386 loader finds its libraries through a cache of its own; with the host's it
    # would follow it into the host's 32-bit folders and find no FreeType.
    echo 'include /etc/ld.so.conf.d/*.conf' >"$root/etc/ld.so.conf"
    ldconfig -r "$root" || return 1
    # Fonts: the host's (Wine's own from fonts-wine, the metric-compatible faces from
    # /usr/share/fonts), not the few the i386 packages brought along.
    rm -rf "$root/usr/share/wine/fonts" "$root/usr/share/fonts" "$root/etc/fonts"
    ln -s /usr/share/wine/fonts "$root/usr/share/wine/fonts"
    # The 64-bit half: each loader starts the other from its own folder, and each ntdll.so
    # finds its DLLs beside itself, so the 64-bit loader and ntdll.so are copies in this
    # tree and the rest of the system's 64-bit Wine is linked in.
    cp /usr/lib/wine/wine64 "$root/usr/lib/wine/wine64"
    mkdir -p "$lib64/x86_64-unix"
    local f
    for f in /usr/lib/x86_64-linux-gnu/wine/x86_64-unix/*; do
        ln -sfn "$f" "$lib64/x86_64-unix/$(basename "$f")"
    done
    rm -f "$lib64/x86_64-unix/ntdll.so"
    cp /usr/lib/x86_64-linux-gnu/wine/x86_64-unix/ntdll.so "$lib64/x86_64-unix/ntdll.so"
    ln -sfn /usr/lib/x86_64-linux-gnu/wine/x86_64-windows "$lib64/x86_64-windows"
    ln -sfn ../../i386-linux-gnu/wine/i386-windows "$lib64/i386-windows"
    rm -rf "$KV32_ROOT"
    mv "$root" "$KV32_ROOT"
}

# Linux runs i386 programs through qemu once binfmt_misc knows them. The handler is opened
# when registered (flag F), so it works in every mount namespace; it lasts until reboot.
kv32_binfmt() {
    local dir=/proc/sys/fs/binfmt_misc
    [ -e "$dir/register" ] || mount -t binfmt_misc binfmt_misc "$dir" || {
        kv32_log "cannot mount $dir (run as root)"
        return 1
    }
    local entry
    for entry in "$dir"/*; do
        grep -qs 'interpreter .*qemu-i386' "$entry" && grep -qs '^enabled' "$entry" && return 0
    done
    printf '%s' ':kavex-qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
        >"$dir/register" || {
        kv32_log "cannot register qemu-i386-static with binfmt_misc"
        return 1
    }
}

kv32_wine() {
    QEMU_LD_PREFIX=$KV32_ROOT "$KV32_WINE64" "$@"
}

# A booted mixed prefix, set up as the 64-bit tests' prefixes are (no Z: drive, windows
# managed by Wine, no crash dialog). Booting runs Wine's 32-bit setup under emulation
# (about three minutes), so it is done once and copied.
kv32_boot_template() {
    local tpl=$KV32_TEMPLATE.partial
    rm -rf "$tpl"
    mkdir -p "$tpl/dosdevices" "$tpl/drive_c"
    ln -s ../drive_c "$tpl/dosdevices/c:"
    kv32_log "booting a 64-bit prefix with 32-bit support (its 32-bit half runs emulated: minutes)"
    WINEPREFIX=$tpl kv32_wine wineboot -i >/dev/null 2>&1 || true
    [ -f "$tpl/drive_c/windows/syswow64/kernel32.dll" ] || {
        kv32_log "the prefix has no 32-bit system folder after its boot"
        return 1
    }
    WINEPREFIX=$tpl kv_wine_settings
    WINEPREFIX=$tpl wineserver -w
    rm -f "$tpl/dosdevices/z:"
    touch "$tpl/$(kv_wine_settings_mark)"
    rm -rf "$KV32_TEMPLATE"
    mv "$tpl" "$KV32_TEMPLATE"
}

kv32_prepare() {
    kv32_paths || { kv32_log "the system's 64-bit Wine (libwine:amd64) is not installed"; return 1; }
    [ -x /usr/bin/qemu-i386-static ] || { kv32_log "qemu-user-static is not installed"; return 1; }
    kv32_binfmt || return 1
    if [ ! -x "$KV32_WINE64" ]; then
        ls "$KV32_CACHE"/apt/archives/wine32_*.deb >/dev/null 2>&1 || kv32_download || return 1
        kv32_unpack || return 1
    fi
    [ -f "$KV32_TEMPLATE/$(kv_wine_settings_mark)" ] || kv32_boot_template || return 1
}

kv32_prefix() {
    rm -rf "$1"
    cp -a "$KV32_TEMPLATE" "$1"
    export WINEPREFIX=$1
}
