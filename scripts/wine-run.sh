#!/usr/bin/env bash
# Runs a Windows program under Wine in the checkout's prefix (the cross builds' emulator).
#
# Wine now and then fails to map a program it started a moment ago and hands it to its shell
# instead ("Application could not be started ... ShellExecuteEx failed"): the program never ran.
# Such a start is tried again, up to three times; any other result is the program's own.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
for attempt in 1 2 3; do
  # Errors go through a file, not a pipe: a process Wine starts on the side (its services)
  # inherits the program's standard error and may outlive it, and a reader of a pipe would wait
  # for that process too.
  wine "$@" 2> "$errors"
  status=$?
  cat "$errors" >&2
  if [ "$status" -ne 0 ] && grep -q "ShellExecuteEx failed" "$errors"; then
    echo "wine-run: Wine could not start $1 (attempt $attempt); trying again" >&2
    sleep 1
    continue
  fi
  exit "$status"
done
exit "$status"
