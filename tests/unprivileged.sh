#!/bin/sh
# Runs a test binary as user nobody when started as root, so that the file
# system refuses what it would refuse a player. Usage: unprivileged.sh BINARY [ARGS]
set -eu
bin=$1
shift
if [ "$(id -u)" != 0 ]; then
    exec "$bin" "$@"
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$bin" "$dir/"
chmod 755 "$dir" "$dir/$(basename "$bin")"
home="$dir/home"
mkdir -m 700 "$home"
chown 65534:65534 "$home"
cd "$home"
status=0
HOME="$home" TMPDIR="$home" XDG_RUNTIME_DIR="$home" \
    setpriv --reuid=65534 --regid=65534 --clear-groups "$dir/$(basename "$bin")" "$@" || status=$?
exit "$status"
