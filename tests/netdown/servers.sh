#!/bin/sh
# Starts or stops the loopback HTTP and FTP servers that the cross-built
# tests reach from under Wine; they serve DIR/root and leave their ports in
# DIR/http.port and DIR/ftp.port.
#   servers.sh start DIR SCRIPT | servers.sh stop DIR
set -e
dir=$2
case $1 in
start)
    rm -rf "$dir"
    mkdir -p "$dir/root"
    for kind in http ftp; do
        /usr/bin/python3 "$3" "$kind" "$dir/root" --port-file "$dir/$kind.port" --limit 900 \
            </dev/null >/dev/null 2>&1 &
        echo $! >"$dir/$kind.pid"
    done
    for _ in $(seq 100); do
        [ -f "$dir/http.port" ] && [ -f "$dir/ftp.port" ] && exit 0
        sleep 0.1
    done
    echo "servers did not start" >&2
    exit 1
    ;;
stop)
    for kind in http ftp; do
        [ -f "$dir/$kind.pid" ] && kill "$(cat "$dir/$kind.pid")" 2>/dev/null || true
    done
    ;;
esac
