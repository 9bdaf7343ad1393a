#!/bin/sh
# Runs a Windows program of the cross-build under Wine (ctest's emulator).
exec wine "$@"
