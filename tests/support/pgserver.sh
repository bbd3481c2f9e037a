#!/usr/bin/env bash
# A throwaway PostgreSQL server of Debian's postgresql package for the tests
# and the benchmark: its own cluster in a folder of its own, reached through a
# Unix socket in that folder and 127.0.0.1 on a free port, trusting local
# connections but those of velmoran_password_role, which must give its
# password. Run as root, the server runs as the postgres user.
#
#   pgserver.sh start INFO [DIR]  start a server; INFO gets two lines: the
#                                 folder, then the administrator's libpq
#                                 connection string. Without DIR a new
#                                 temporary folder, removed by stop; a DIR
#                                 that holds a cluster is started as it is
#                                 (the benchmark keeps its loaded cluster).
#   pgserver.sh stop INFO         stop the server of INFO (and remove its
#                                 temporary folder, and INFO)
#   pgserver.sh restart INFO      stop and start it again on the same port
#   pgserver.sh halt INFO         stop it, keeping its folder and INFO
#   pgserver.sh resume INFO       start a halted server again on its port
#
# VELMORAN_PG_TCP=1 names 127.0.0.1 instead of the socket in the connection
# string: the Windows build's tests, under Wine, have no Unix sockets.
# VELMORAN_PG_DURABLE=1 keeps PostgreSQL's usual durability settings (the
# benchmark); without it the cluster skips fsync, which a test doesn't need.
set -euo pipefail

bindir() {
    local d
    d="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
    if [ -z "$d" ] || [ ! -x "$d/initdb" ]; then
        echo "pgserver.sh: PostgreSQL's server programs are not installed (Debian's postgresql)" >&2
        exit 1
    fi
    echo "$d"
}

as_server() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

free_port() {
    local p
    for _ in $(seq 1 50); do
        p=$((20000 + RANDOM % 40000))
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; then
            echo "$p"
            return
        fi
    done
    echo "pgserver.sh: no free port found" >&2
    exit 1
}

start_server() { # DIR PORT
    local dir="$1" port="$2" options
    options="-c listen_addresses=127.0.0.1 -p $port -k $dir -c max_connections=200"
    if [ "${VELMORAN_PG_DURABLE:-0}" != 1 ]; then
        options="$options -c fsync=off -c synchronous_commit=off -c full_page_writes=off"
    fi
    as_server "$bin/pg_ctl" start -w -t 60 -D "$dir/data" -l "$dir/server.log" -o "$options" \
        >/dev/null
}

bin="$(bindir)"
password_role=velmoran_password_role
command="${1:-}"
info="${2:-}"
[ -n "$command" ] && [ -n "$info" ] || {
    echo "usage: pgserver.sh start|stop|restart|halt|resume INFO [DIR]" >&2
    exit 2
}

case "$command" in
start)
    # A server left by a run that was cut short goes first.
    if [ -f "$info" ]; then "$0" stop "$info"; fi
    dir="${3:-}"
    temporary=0
    if [ -z "$dir" ]; then
        dir="$(mktemp -d /tmp/velmoran-pg.XXXXXX)"
        temporary=1
    fi
    mkdir -p "$dir"
    if [ "$(id -u)" -eq 0 ]; then chown postgres: "$dir"; fi
    chmod 700 "$dir"
    if [ ! -f "$dir/data/PG_VERSION" ]; then
        as_server "$bin/initdb" -D "$dir/data" -U velmoran_admin -A trust -E UTF8 \
            --locale=C.UTF-8 -N >"$dir/initdb.log" 2>&1 || {
            cat "$dir/initdb.log" >&2
            exit 1
        }
        # One role must give its password, through the socket and TCP alike:
        # the tests of a refused or missing password connect as it.
        hba="$dir/data/pg_hba.conf"
        {
            printf 'local all %s scram-sha-256\n' "$password_role"
            printf 'host all %s 127.0.0.1/32 scram-sha-256\n' "$password_role"
            cat "$hba"
        } >"$hba.new"
        chmod 600 "$hba.new"
        if [ "$(id -u)" -eq 0 ]; then chown postgres: "$hba.new"; fi
        mv "$hba.new" "$hba"
    fi
    for attempt in 1 2 3 4 5; do
        port="$(free_port)"
        if start_server "$dir" "$port"; then
            break
        fi
        if [ "$attempt" = 5 ]; then
            cat "$dir/server.log" >&2
            exit 1
        fi
    done
    host="$dir"
    if [ "${VELMORAN_PG_TCP:-0}" = 1 ]; then host=127.0.0.1; fi
    printf '%s\nhost=%s port=%s user=velmoran_admin dbname=postgres\n%s\n%s\n' \
        "$dir" "$host" "$port" "$temporary" "$port" >"$info"
    ;;
stop | restart | halt | resume)
    [ -f "$info" ] || exit 0
    dir="$(sed -n 1p "$info")"
    temporary="$(sed -n 3p "$info")"
    port="$(sed -n 4p "$info")"
    if [ "$command" = resume ]; then
        start_server "$dir" "$port"
        exit 0
    fi
    mode=immediate
    if [ "${VELMORAN_PG_DURABLE:-0}" = 1 ] || [ "$command" != stop ]; then mode=fast; fi
    as_server "$bin/pg_ctl" stop -w -t 60 -D "$dir/data" -m "$mode" >/dev/null 2>&1 || true
    if [ "$command" = restart ]; then
        start_server "$dir" "$port"
        exit 0
    fi
    if [ "$command" = halt ]; then exit 0; fi
    if [ "$temporary" = 1 ]; then rm -rf "$dir"; fi
    rm -f "$info"
    ;;
*)
    echo "usage: pgserver.sh start|stop|restart|halt|resume INFO [DIR]" >&2
    exit 2
    ;;
esac
