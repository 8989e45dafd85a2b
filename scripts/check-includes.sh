#!/usr/bin/env bash
# The layers by their includes: system headers only in the OS backends, Windows headers only in
# the Windows backends and the Win32 window, Qt only in the Qt window. Prints each include out of
# place and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

posix='unistd\.h|fcntl\.h|sys/[a-z_/]+\.h|dirent\.h|spawn\.h|poll\.h|pwd\.h|grp\.h|termios\.h|langinfo\.h|blkid\.h|blkid/blkid\.h|mntent\.h|pthread\.h|fuse\.h|dlfcn\.h'
signals='signal\.h|csignal'
windows='windows\.h|winioctl\.h|commctrl\.h|commdlg\.h|shellapi\.h|shlobj\.h|winspool\.h|winbase\.h|winuser\.h|io\.h|direct\.h'
qt='Q[A-Za-z]+|Qt[A-Za-z]*/[^>]+'

# Tests that drive the program as the system sees it: processes, terminals, signals, mounts,
# permission bits. Each stays POSIX-only in the build.
posixTests='tests/cli/kesp_scan_process_test\.cpp|tests/gui/qt/form1_instances_test\.cpp|tests/gui/qt/print_cups_test\.cpp'

status=0
# what, header pattern, the paths where it belongs
check() {
    local found
    found=$(git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'fuzz/*.cpp' |
        grep -Ev "^($3)" | xargs grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($2)>" || true)
    if [ -n "$found" ]; then
        echo "$1 out of place:" >&2
        echo "$found" | sed 's/^/  /' >&2
        status=1
    fi
}

check "system header" "$posix" "src/os/posix/|tests/support/|tests/os/posix/|$posixTests"
check "signal header" "$signals" "src/os/posix/|src/os/win32/|tests/support/|tests/os/posix/|$posixTests"
check "Windows header" "$windows" "src/os/win32/|src/gui/win32/|tests/os/win32/|tests/gui/win32/"
check "Qt header" "$qt" "src/gui/qt/|tests/gui/qt/|tests/support/qt_test_main\.cpp|bench/window_scan_bench\.cpp"

[ "$status" = 0 ] && echo "includes: every system, Windows and Qt header in its own folder"
exit "$status"
