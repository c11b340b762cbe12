#!/bin/sh
# Runs a command inside the current D-Bus session with the AT-SPI bus that screen readers use,
# so Qt's accessibility layer is active: tests/gui/with-atspi.sh LAUNCHER COMMAND...
launcher=$1
shift
"$launcher" --launch-immediately &
bus=$!
sleep 1
"$@"
status=$?
kill "$bus" 2>/dev/null
exit $status
