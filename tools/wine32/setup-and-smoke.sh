#!/usr/bin/env bash
# setup-and-smoke.sh - run 32-bit Windows PE programs (an .exe loading .dlls) on this kind of
# machine: Debian 12 x86-64, root, a kernel that cannot execute 32-bit x86 code.
#
# What it does (idempotent; safe to re-run):
#   1. Installs Debian's Wine 8.0 (wine, wine64, wine32:i386), qemu-user, the i686 MinGW-w64
#      toolchain and gcc-multilib through scripts/install-deps.sh (i386 multiarch added if missing).
#   2. Probes whether the kernel runs i386 ELF.  If not (the case on these VMs), mounts
#      binfmt_misc and registers /usr/bin/qemu-i386 for i386 ELF, so Wine's 32-bit loader
#      (/usr/lib/wine/wine, an i386 ELF) runs under qemu-user transparently.
#   3. Builds and installs libwine-qemu-fix.so (src/wine-qemu-fix.c), an LD_PRELOAD shim that
#      works around qemu-user limitations Wine trips over (40 s start-up per process; crashes in
#      every multi-threaded Wine process).  Installs /usr/local/bin/wine32-run, the wrapper the
#      project should use to run a Windows program (also usable as CMAKE_CROSSCOMPILING_EMULATOR).
#   4. Builds with i686-w64-mingw32-g++: hostdata.dll (exports DATA @30008 NONAME),
#      plugin.dll (exports @30001-30003 NONAME, imports HostTable by ordinal through a dlltool
#      import library), smoke_host.exe (exports @101-103 NONAME, LoadLibraryA + GetProcAddress by
#      ordinal, stdcall/thiscall/cdecl both ways), crash.exe.  Checks the PE tables.
#   5. Creates a Wine prefix (headless), runs smoke_host.exe cold and warm, checks its
#      "N passed, 0 failed" line and exit code, checks crash.exe exits promptly, prints timings.
#
# Environment: WINE_SMOKE_WORK (default /tmp/wine-smoke) holds the build and the prefix;
# WINEPREFIX overrides the prefix.  Exit code 0 = everything worked.
# What it installs under /usr/local is replaced only when it changed, and then by a rename, so
# tests running through an earlier copy at the same time are not disturbed.
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
SRC="$HERE/src"
WORK="${WINE_SMOKE_WORK:-/tmp/wine-smoke}"
BUILD="$WORK/build"
export WINEPREFIX="${WINEPREFIX:-$WORK/prefix}"
FIX_ROOT=/usr/local/lib/wine-qemu-fix
RUNNER=/usr/local/bin/wine32-run

# install_file NEW DEST MODE: DEST becomes NEW (renamed over it) unless it holds the same bytes.
install_file() {
    if cmp -s "$1" "$2"; then rm -f "$1"; return; fi
    chmod "$3" "$1"
    mv -f "$1" "$2"
}

log() { printf '\n== %s\n' "$*"; }
die() { printf 'FATAL: %s\n' "$*" >&2; exit 1; }
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }

[ "$(id -u)" = 0 ] || die "run as root (apt-get, binfmt_misc, /usr/local)"
mkdir -p "$WORK" "$BUILD"

# ---------------------------------------------------------------------------------------------
log "1. packages"
# Through the project's installer, which knows what to do when a mirror is in
# the middle of a sync (i386 multiarch is added there when missing).
"$HERE/../../scripts/install-deps.sh" wine
/usr/lib/wine/wine64 --version

# ---------------------------------------------------------------------------------------------
log "2. can this kernel run i386 code?"
probe="$WORK/probe-i386"
printf 'int main(void) { return 42; }\n' | gcc -m32 -x c -o "$probe" -
binfmt=/proc/sys/fs/binfmt_misc
use_qemu=0
if [ -e "$binfmt/qemu-i386" ] && grep -qx enabled "$binfmt/qemu-i386"; then
    use_qemu=1
    echo "qemu-i386 is already registered with binfmt_misc"
else
    set +e; "$probe" 2>/dev/null; rc=$?; set -e
    if [ "$rc" = 42 ]; then
        echo "yes: the kernel runs i386 ELF natively; no qemu and no shim needed"
    else
        echo "no (exit $rc, e.g. 126 = Exec format error): registering qemu-i386 with binfmt_misc"
        [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
        if [ -e "$binfmt/qemu-i386" ]; then
            echo 1 > "$binfmt/qemu-i386"
        else
            # magic/mask as in qemu's scripts/qemu-binfmt-conf.sh (ELF32, little endian, EM_386,
            # ET_EXEC or ET_DYN).  F: the kernel opens the interpreter now (works in chroots too).
            printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' \
                > "$binfmt/register"
        fi
        use_qemu=1
    fi
fi
if ((use_qemu)); then
    set +e; "$probe"; rc=$?; set -e
    [ "$rc" = 42 ] || die "i386 probe still fails under qemu-i386 (exit $rc)"
    echo "i386 ELF now runs through qemu-i386 ($(qemu-i386 --version | head -1))"
fi

# ---------------------------------------------------------------------------------------------
log "3. qemu workaround shim and the wine32-run wrapper"
if ((use_qemu)); then
    mkdir -p "$FIX_ROOT/lib/i386-linux-gnu" "$FIX_ROOT/lib/x86_64-linux-gnu" "$FIX_ROOT/src"
    cp "$SRC/wine-qemu-fix.c" "$FIX_ROOT/src/"
    gcc -m32 -O2 -Wall -fno-stack-protector -shared -fPIC -o "$FIX_ROOT/lib/i386-linux-gnu/libwine-qemu-fix.so.new" \
        "$FIX_ROOT/src/wine-qemu-fix.c"
    install_file "$FIX_ROOT/lib/i386-linux-gnu/libwine-qemu-fix.so.new" "$FIX_ROOT/lib/i386-linux-gnu/libwine-qemu-fix.so" 755
    # 64-bit processes (qemu-i386 itself, wineserver64, native Wine) also see LD_PRELOAD; give
    # them an empty library at the $LIB path so ld.so does not complain about the ELF class.
    echo '/* empty on purpose: see ../../src/wine-qemu-fix.c */' > "$FIX_ROOT/src/empty.c"
    gcc -O2 -shared -fPIC -o "$FIX_ROOT/lib/x86_64-linux-gnu/libwine-qemu-fix.so.new" "$FIX_ROOT/src/empty.c"
    install_file "$FIX_ROOT/lib/x86_64-linux-gnu/libwine-qemu-fix.so.new" "$FIX_ROOT/lib/x86_64-linux-gnu/libwine-qemu-fix.so" 755
    echo "installed $FIX_ROOT/lib/{i386,x86_64}-linux-gnu/libwine-qemu-fix.so"
fi
cat > "$RUNNER.new" <<'EOF'
#!/bin/sh
# wine32-run PROGRAM.exe [ARGS...]  run a Windows program with Debian's Wine, headless; exits
#                                   with the program's exit code (unhandled access violation: 5).
# wine32-run --init                 create the prefix if missing (once, before parallel runs).
# wine32-run --start                keep a wineserver and Wine's services running ("warm": about
#                                   0.45 s a run instead of 1.3-2 s); their output goes to
#                                   /dev/null, so runners that read a test's output through a pipe
#                                   (ctest) see EOF when the test ends.
# wine32-run --stop                 stop this prefix's wineserver and everything it runs.
# Defaults (set them to override): WINEPREFIX=$HOME/.wine-pe32, WINEDEBUG=-all, and
# WINEDLLOVERRIDES that disable the Mono/Gecko installers, the menu builder and the crash debugger.
# Written by tools/wine32/setup-and-smoke.sh of the Marketgate sources.
: "${WINEPREFIX:=$HOME/.wine-pe32}"
: "${WINEDEBUG:=-all}"
: "${WINEDLLOVERRIDES:=mscoree,mshtml=;winemenubuilder.exe,winedbg.exe=d}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
unset DISPLAY WAYLAND_DISPLAY
fix=/usr/local/lib/wine-qemu-fix/lib/i386-linux-gnu/libwine-qemu-fix.so
if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && [ -f "$fix" ]; then
    case "${LD_PRELOAD:-}" in
        *libwine-qemu-fix.so*) ;;
        *) LD_PRELOAD='/usr/local/lib/wine-qemu-fix/$LIB/libwine-qemu-fix.so'${LD_PRELOAD:+ $LD_PRELOAD}
           export LD_PRELOAD ;;
    esac
fi
if [ "${1:-}" = --stop ]; then
    wineserver -k 2>/dev/null
    exit 0
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    WINEARCH=win64 /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 </dev/null || true
    wineserver -w
fi
case "${1:-}" in
    --init) exit 0 ;;
    --start)
        wineserver -p
        /usr/lib/wine/wine64 wineboot >/dev/null 2>&1 </dev/null
        exit 0 ;;
esac
exec wine "$@"
EOF
install_file "$RUNNER.new" "$RUNNER" 755
echo "installed $RUNNER"

# ---------------------------------------------------------------------------------------------
log "4. build the PE test files with i686-w64-mingw32-g++"
CXX=i686-w64-mingw32-g++
CXXFLAGS=(-O2 -Wall -Wextra -Werror -static -static-libgcc -static-libstdc++)
t0=$(now)
rm -f "$BUILD"/*.dll "$BUILD"/*.exe "$BUILD"/*.a
$CXX "${CXXFLAGS[@]}" -shared -o "$BUILD/hostdata.dll" "$SRC/hostdata.cpp" "$SRC/hostdata.def"
i686-w64-mingw32-dlltool -d "$SRC/hostdata.def" -l "$BUILD/libhostdata.a"
$CXX "${CXXFLAGS[@]}" -shared -o "$BUILD/plugin.dll" "$SRC/plugin.cpp" "$SRC/abi_call.cpp" \
    "$SRC/plugin.def" "$BUILD/libhostdata.a"
$CXX "${CXXFLAGS[@]}" -o "$BUILD/smoke_host.exe" "$SRC/smoke_host.cpp" "$SRC/abi_call.cpp" \
    "$SRC/smoke_host.def"
$CXX "${CXXFLAGS[@]}" -o "$BUILD/crash.exe" "$SRC/crash.cpp"
echo "built in $(since "$t0") s: $(cd "$BUILD" && ls *.dll *.exe | tr '\n' ' ')"

# The PE tables must say what the .def files asked for.
pe() { i686-w64-mingw32-objdump -p "$BUILD/$1"; }
nameless_exports() { # FILE FIRST_ORDINAL COUNT
    local dump; dump="$(pe "$1")"
    grep -q "Export Address Table -- Ordinal Base $2" <<<"$dump" || die "$1: ordinal base is not $2"
    grep -Eq "Export Address Table[[:space:]]+0*$3\$" <<<"$dump" || die "$1: not $3 exports"
    grep -Eq "\[Name Pointer/Ordinal\] Table[[:space:]]+0+\$" <<<"$dump" || die "$1: exports have names"
}
nameless_exports plugin.dll 30001 3
nameless_exports smoke_host.exe 101 3
nameless_exports hostdata.dll 30008 1
pe plugin.dll | grep -A3 'DLL Name: hostdata.dll' | grep -Eq '^[[:space:]]+[0-9a-f]+[[:space:]]+30008[[:space:]]+<none>' \
    || die "plugin.dll does not import hostdata.dll ordinal 30008 by ordinal"
echo "PE tables OK: exports by ordinal only; plugin.dll imports hostdata.dll #30008 by ordinal"

# ---------------------------------------------------------------------------------------------
log "5. Wine prefix and runs (headless: DISPLAY and WAYLAND_DISPLAY unset)"
unset DISPLAY WAYLAND_DISPLAY
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe,winedbg.exe=d"
if ((use_qemu)); then export LD_PRELOAD="$FIX_ROOT/\$LIB/libwine-qemu-fix.so"; fi
cleanup() { wineserver -k 2>/dev/null || true; }
trap cleanup EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    t0=$(now)
    WINEARCH=win64 /usr/lib/wine/wine64 wineboot --init > "$WORK/wineboot.log" 2>&1 </dev/null \
        || { cat "$WORK/wineboot.log"; die "wineboot --init failed"; }
    wineserver -w
    echo "new prefix $WINEPREFIX created in $(since "$t0") s"
else
    wineserver -k 2>/dev/null || true
    wineserver -w
    echo "reusing prefix $WINEPREFIX"
fi

# Output goes to files: Wine's background processes (services.exe, ...) inherit stdout, so a
# pipe would stay open until the wineserver exits.
run_smoke() { # LABEL
    local t0 rc out="$WORK/smoke-$1.out"
    t0=$(now)
    set +e
    (cd "$BUILD" && timeout 300 wine smoke_host.exe > "$out" 2>&1 </dev/null)
    rc=$?
    set -e
    printf '%-34s exit %s in %s s\n' "smoke_host.exe ($1)" "$rc" "$(since "$t0")"
    if [ "$rc" != 0 ] || ! grep -Eq '^[0-9]+ passed, 0 failed' "$out"; then
        cat "$out"
        die "smoke test failed ($1)"
    fi
}
# Debian's wineserver wrapper starts the server with -p0, so it exits as soon as the last
# program ends and every plain run boots Wine's services again ("cold").  wine32-run --start
# keeps a persistent server and the services: "warm" runs.
run_smoke cold-1
cat "$WORK/smoke-cold-1.out"
wineserver -w
run_smoke cold-2
wineserver -w
t0=$(now)
"$RUNNER" --start
echo "wine32-run --start (persistent wineserver + services): $(since "$t0") s"
run_smoke persistent-server-first
run_smoke warm-1
run_smoke warm-2

# A crashing program must end promptly with the access-violation code, not hang in a debugger.
t0=$(now)
set +e
(cd "$BUILD" && timeout 120 wine crash.exe > "$WORK/crash.out" 2>&1 </dev/null)
rc=$?
set -e
printf '%-34s exit %s in %s s\n' "crash.exe (must exit 5)" "$rc" "$(since "$t0")"
[ "$rc" = 5 ] || { cat "$WORK/crash.out"; die "crash.exe: exit $rc, want 5 (124 = hung)"; }
grep -q 'about to crash' "$WORK/crash.out" || die "crash.exe printed nothing"
grep -q 'Unhandled page fault on write access to 00000000' "$WORK/crash.out" \
    || { cat "$WORK/crash.out"; die "crash.exe: Wine did not report a NULL write"; }

# The installed wrapper, as a project's test runner would call it.
set +e
(cd "$BUILD" && WINEPREFIX="$WINEPREFIX" "$RUNNER" smoke_host.exe > "$WORK/smoke-runner.out" 2>&1 </dev/null)
rc=$?
set -e
[ "$rc" = 0 ] && grep -Eq '^[0-9]+ passed, 0 failed' "$WORK/smoke-runner.out" \
    || { cat "$WORK/smoke-runner.out"; die "wine32-run smoke_host.exe failed (exit $rc)"; }
echo "wine32-run smoke_host.exe: exit 0"

log "all good: 32-bit PE programs run here (mode: $( ((use_qemu)) && echo 'qemu-i386 + shim' || echo native))"
