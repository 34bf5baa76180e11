#!/usr/bin/env bash
# Runs a Windows program under Wine in the checkout's prefix (the cross builds' emulator).
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec wine "$@"
