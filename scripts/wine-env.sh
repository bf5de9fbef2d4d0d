# shellcheck shell=bash
# Run the 32-bit (i686) Windows build under Wine on this kind of machine.
# Meant to be sourced:
#   . scripts/wine-env.sh
#   calories_wine_install                 # root; idempotent; fresh Debian 12 is fine
#   calories_wine_prefix /tmp/cal-prefix  # private WINEPREFIX, created on first use
#   calories_xvfb_start                   # optional: private Xvfb, exports DISPLAY
#   calories_wine_up                      # optional: keep the wineserver up
#   calories_wine build/app.exe args...; echo "exit code $?"
#   calories_wine_down; calories_xvfb_stop  # in this order: Wine holds X connections
#
# Why it is unusual: this sandboxed kernel runs no 32-bit x86 code at all.
# 32-bit ELFs fail with "Exec format error", and even a far jump to a 32-bit
# code segment (GDT 0x23 or an LDT one) faults, so wine64's own WoW64 mode
# dies at its first 32-bit instruction. So the 32-bit Wine (wine32:i386) runs under qemu-i386
# user-mode emulation. qemu is registered with binfmt_misc, so every exec of
# a 32-bit ELF goes through it, including Wine exec'ing its 32-bit loader
# for child processes. The 64-bit parts (wineserver, services, explorer)
# run natively in a normal win64 prefix.

CALORIES_QEMU=/usr/bin/qemu-i386
CALORIES_BINFMT=/proc/sys/fs/binfmt_misc

calories_wine_install() {
    local p missing=() codename qv reg=0 e=$CALORIES_BINFMT/qemu-i386
    # shellcheck source=/dev/null
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    # wine32:i386 brings the 32-bit loader, ntdll.so and PE DLLs.
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    # xvfb: the display; x11-apps (xwd), x11-utils (xwininfo) and imagemagick: screenshots.
    for p in wine wine64 wine32:i386 xvfb x11-apps x11-utils imagemagick; do
        dpkg-query -W -f='${Status}' "$p" 2> /dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o Dpkg::Use-Pty=0 "${missing[@]}"; } || return 1
    fi
    # An ordinary kernel runs 32-bit ELFs itself: then nothing more is needed.
    [ ! -e "$e" ] && /usr/lib/wine/wine --version > /dev/null 2>&1 && return 0
    # qemu 7.2 (bookworm) breaks Wine: with its reserved guest address space,
    # mmap(MAP_FIXED_NOREPLACE) ignores the hint, so Wine cannot place
    # KUSER_SHARED_DATA ("failed to map the shared user data: c0000018").
    # 10.0.2 from bookworm-backports works (tested); backports serves only qemu.
    # (|| true: no qemu yet is the usual case, and callers may run with pipefail and -e.)
    qv=$("$CALORIES_QEMU" --version 2> /dev/null | sed -n 's/.*version \([0-9]*\)\..*/\1/p' || true)
    if [ "${qv:-0}" -lt 8 ]; then
        grep -rqs "$codename-backports" /etc/apt/sources.list /etc/apt/sources.list.d/ ||
            printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: %s-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
                "$codename" > /etc/apt/sources.list.d/calories-backports.sources
        # qemu-user recommends qemu-user-binfmt, which pins its exact version:
        # take both from backports, or apt may pick bookworm's binfmt package.
        { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o Dpkg::Use-Pty=0 \
            "qemu-user/$codename-backports" "qemu-user-binfmt/$codename-backports"; } || return 1
        reg=1 # an entry made with 'F' (below) keeps running the old binary: redo it
    fi
    # Let the kernel hand every i386 ELF to qemu-i386 (binfmt_misc). Debian's
    # qemu-user-binfmt leaves i386 out on amd64 hosts, so the entry is written
    # here. 'F' opens the interpreter now, so the entry also works in chroots
    # and other mount namespaces.
    [ -e "$e" ] && grep -qx "interpreter $CALORIES_QEMU" "$e" || reg=1
    if [ $reg = 1 ]; then
        mountpoint -q "$CALORIES_BINFMT" || mount -t binfmt_misc binfmt_misc "$CALORIES_BINFMT" || return 1
        if [ -e "$e" ]; then echo -1 > "$e"; fi
        printf ':qemu-i386:M::%s:%s:%s:F' \
            '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00' \
            '\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff' \
            "$CALORIES_QEMU" > "$CALORIES_BINFMT/register" || return 1
    fi
    /usr/lib/wine/wine --version > /dev/null || { echo "the 32-bit wine loader still does not start" >&2; return 1; }
}

# The 32-bit Wine under qemu does not find Wine's own fonts in its data
# folder, so dialogs fell back to a wider font and the caption buttons lost
# their Marlett glyphs. Linked into the prefix's Fonts folder, they are found.
calories_wine_fonts() {
    local fonts=$WINEPREFIX/drive_c/windows/Fonts f
    mkdir -p "$fonts" || return 1
    for f in /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.ttc; do
        [ -e "$f" ] && ln -sf "$f" "$fonts/"
    done
    return 0
}

# calories_wine_prefix DIR: use DIR as WINEPREFIX. The first call creates it:
# 15-20 s and 1.3 GB, because Debian's DLLs are copied in. cp -a of a ready prefix takes ~3 s.
calories_wine_prefix() {
    mkdir -p "$1" || return 1
    WINEPREFIX=$(cd "$1" && pwd)
    export WINEPREFIX WINEARCH=win64
    export WINEDEBUG="${WINEDEBUG:--all}"
    # mscoree/mshtml off: no Mono/Gecko install attempts (no network, and slow).
    # winedbg off: a crash would start winedbg, and under qemu it hangs. With
    # it off, the crashed process exits with the exception code's low byte.
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
    [ -e "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] && { calories_wine_fonts; return 0; }
    (
        # A lock, so that parallel tests do not both create the same prefix.
        flock 9
        [ -e "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] && exit 0
        # wineboot fills syswow64 by running the 32-bit rundll32, through qemu.
        env -u DISPLAY /usr/lib/wine/wine64 wineboot -i > "$WINEPREFIX/wineboot.log" 2>&1
        # With no window manager on Xvfb, let Wine draw title bars and handle activation itself.
        /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >> "$WINEPREFIX/wineboot.log" 2>&1
        # Wait until every prefix process and the wineserver are gone, so the
        # registry is on disk and the next start sees the right DISPLAY.
        /usr/lib/wine/wineserver -w
        [ -e "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]
    ) 9> "$WINEPREFIX/.calories-lock" || { echo "prefix creation failed, see $WINEPREFIX/wineboot.log" >&2; return 1; }
    calories_wine_fonts
}

# calories_wine EXE [ARGS...]: run EXE (a Unix or Windows path) and return its
# exit code. The exit code is truncated to 8 bits, as for any Unix process.
calories_wine() {
    [ -n "${WINEPREFIX:-}" ] || { echo "call calories_wine_prefix first" >&2; return 2; }
    # The 32-bit loader runs through qemu via binfmt; a 64-bit exe is re-exec'd
    # into wine64 by Wine itself. CALORIES_WINE_TIMEOUT=SECONDS bounds the run.
    ${CALORIES_WINE_TIMEOUT:+timeout -k 10 "$CALORIES_WINE_TIMEOUT"} /usr/lib/wine/wine "$@"
}

# Optional: keep the prefix's wineserver (and so services and explorer) up until
# calories_wine_down. A run then takes ~0.25 s; otherwise the server quits ~2 s
# after the last process exits, and the next run needs ~1.3 s. Export DISPLAY
# first: explorer, which all windows need, keeps the DISPLAY it starts with.
calories_wine_up() {
    /usr/lib/wine/wineserver -p
}

# Stop every process of the prefix at once (-k), then wait for the wineserver to exit.
calories_wine_down() {
    /usr/lib/wine/wineserver -k 2> /dev/null
    /usr/lib/wine/wineserver -w
}

# calories_xvfb_start [WxHxD]: start a private Xvfb and export DISPLAY. -displayfd
# picks a free display number and writes it once the server accepts clients,
# so a blocking read waits for readiness, with no sleep.
calories_xvfb_start() {
    local fifo n
    fifo=$(mktemp -u) && mkfifo "$fifo" || return 1
    Xvfb -displayfd 3 -screen 0 "${1:-1280x1024x24}" -nolisten tcp 3> "$fifo" > /dev/null 2>&1 &
    CALORIES_XVFB_PID=$!
    read -r -t 30 n < "$fifo"
    rm -f "$fifo"
    [ -n "$n" ] || { kill "$CALORIES_XVFB_PID" 2> /dev/null; echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$n"
}

calories_xvfb_stop() {
    [ -n "${CALORIES_XVFB_PID:-}" ] && kill "$CALORIES_XVFB_PID" 2> /dev/null && wait "$CALORIES_XVFB_PID" 2> /dev/null
    CALORIES_XVFB_PID=
}
