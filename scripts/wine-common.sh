# Sourced by the scripts that start Wine. Debian's Wine has one loader per architecture:
# /usr/lib/wine/wine64 for 64-bit programs and /usr/lib/wine/wine (from wine32:i386) for
# 32-bit ones. /usr/bin/wine chooses through the 32-bit loader, which fails outright on a
# machine whose kernel runs no 32-bit programs (ia32 emulation off), so each program is
# started by its own loader here.
wine64_loader=/usr/lib/wine/wine64
wine32_loader=/usr/lib/wine/wine

# Wine cannot start a child process when a standard descriptor of its own is closed
# (CreateProcess fails with error 1359 and the client reports "recvmsg: Socket operation
# on non-socket"). A run started with a standard descriptor closed (`cmd <&-`, some
# schedulers) gets /dev/null in its place.
open_standard_descriptors() {
  [ -e /dev/fd/0 ] || exec </dev/null
  [ -e /dev/fd/1 ] || exec >/dev/null
  [ -e /dev/fd/2 ] || exec 2>/dev/null
}

# True when 32-bit Windows programs can run on this machine: 32-bit Wine is installed and
# the kernel starts it.
wine32_runs() {
  [ -x "$wine32_loader" ] && "$wine32_loader" --version >/dev/null 2>&1
}

# The architectures a prefix made now supports, as scripts/wine-prefix marks it.
wine_prefix_arches() {
  if wine32_runs; then echo "win64 win32"; else echo "win64"; fi
}

# The mark of a ready prefix (.velnor-prefix-ready): the architectures it was made for,
# then the revision of its settings. A prefix made for other architectures is made again;
# one of an older revision only gets the settings it lacks. Raise the revision with each
# setting scripts/wine-prefix adds.
wine_prefix_settings=2
wine_prefix_mark() {
  echo "$(wine_prefix_arches) settings=$wine_prefix_settings"
}

# The machine a Windows executable was built for: i386, amd64, or other (not a PE file).
pe_machine() {
  local file=$1 offset machine
  [ -f "$file" ] || { echo other; return; }
  [ "$(head -c 2 "$file" 2>/dev/null)" = MZ ] || { echo other; return; }
  offset=$(od -An -tu4 -j 60 -N 4 "$file" | tr -d ' ')
  machine=$(od -An -tx2 -j $((offset + 4)) -N 2 "$file" | tr -d ' ')
  case $machine in
    014c) echo i386 ;;
    8664) echo amd64 ;;
    *) echo other ;;
  esac
}

# The loader for a program (a path, or a built-in such as cmd).
wine_loader_for() {
  if [ "$(pe_machine "$1")" = i386 ]; then echo "$wine32_loader"; else echo "$wine64_loader"; fi
}
