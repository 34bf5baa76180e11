# Sourced: an X display for Windows programs that show windows. Uses $DISPLAY when set,
# otherwise starts a private Xvfb (stop it with stop_display).
XVFB_PID=""
start_display() {
  [ -n "${DISPLAY:-}" ] && return
  local n=97
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  sleep 1
}
stop_display() { if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi; }
