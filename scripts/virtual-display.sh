# Sourced by scripts that need a display when there is none. start_virtual_display starts
# Xvfb on a display number the server picks itself (-displayfd), so that it never meets
# another X server or another checkout's run on the same machine, and exports DISPLAY.
# stop_virtual_display ends it; call it from the script's EXIT trap.
virtual_display_pid=
start_virtual_display() {
  local number_file
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
  virtual_display_pid=$!
  for _ in $(seq 1 100); do
    [ -s "$number_file" ] && break
    sleep 0.1
  done
  if [ ! -s "$number_file" ]; then
    rm -f "$number_file"
    echo "the virtual display did not start" >&2
    return 1
  fi
  export DISPLAY=:$(head -n 1 "$number_file")
  rm -f "$number_file"
}
stop_virtual_display() {
  if [ -n "$virtual_display_pid" ]; then
    kill "$virtual_display_pid" 2>/dev/null || true
    wait "$virtual_display_pid" 2>/dev/null || true
    virtual_display_pid=
  fi
}
