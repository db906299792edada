#!/usr/bin/env bash
# The shop server of a shop without an administrator: a PostgreSQL of its
# own in one folder of the back-office PC.
#
#   shop_server.sh start DIR [PORT]        make it on first use, then start it
#   shop_server.sh stop DIR [fast|immediate]
#   shop_server.sh status DIR
#
# DIR holds data/ (the database), socket/ (its unix socket), log/ and
# admin.pgpass, the administrator's libpq password file (mode 0600). start
# prints the administrator's connection, for `shop_table server init`.
# SHOP_SERVER_LISTEN sets the network addresses it listens on (default "*",
# the shop's network; "" for the unix socket only, as the tests use).
# PostgreSQL never runs as root: run as root, the server runs as the system
# user "shopserver", made when missing.
set -euo pipefail

usage() {
  sed -n '4,6p' "$0" | sed 's/^# *//' >&2
  exit 2
}
[ $# -ge 2 ] || usage
command=$1
dir=$(mkdir -p "$2" && cd "$2" && pwd)
bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
[ -n "$bindir" ] || { echo "shop_server.sh: PostgreSQL is not installed (scripts/setup.sh)" >&2; exit 1; }

as_server=()
if [ "$(id -u)" = 0 ]; then
  id shopserver >/dev/null 2>&1 ||
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin shopserver
  # setpriv needs no login session (PAM), which a bare root may lack.
  as_server=(setpriv --reuid="$(id -u shopserver)" --regid="$(id -g shopserver)" --init-groups --)
fi
run() { "${as_server[@]}" "$@"; }

start() {
  # Not 5432: that port is the Debian cluster's, which the packages start.
  local port=${1:-5433}
  mkdir -p "$dir/data" "$dir/socket" "$dir/log"
  if [ ${#as_server[@]} -gt 0 ]; then
    chmod 711 "$dir"
    chown shopserver "$dir/data" "$dir/socket" "$dir/log"
  fi
  chmod 700 "$dir/data"
  if [ ! -f "$dir/data/PG_VERSION" ]; then
    local password pwfile
    password=$(head -c 24 /dev/urandom | base64 | tr -d '/+=')
    pwfile=$(mktemp "$dir/log/pw.XXXXXX")
    printf '%s\n' "$password" >"$pwfile"
    [ ${#as_server[@]} -eq 0 ] || chown shopserver "$pwfile"
    run "$bindir/initdb" -D "$dir/data" -U shop_admin --pwfile="$pwfile" -E UTF8 --locale=C.UTF-8 \
      --auth-local=scram-sha-256 --auth-host=scram-sha-256 >"$dir/log/initdb.log"
    rm -f "$pwfile"
    (umask 077 && printf '*:*:*:shop_admin:%s\n' "$password" >"$dir/admin.pgpass")
    # Tills of the shop's own network sign in with their passwords too.
    printf 'host all all samenet scram-sha-256\n' | run tee -a "$dir/data/pg_hba.conf" >/dev/null
  fi
  local listen=${SHOP_SERVER_LISTEN-*}
  run "$bindir/pg_ctl" -D "$dir/data" -l "$dir/log/server.log" -w -t 60 \
    -o "-p $port -k $dir/socket -c listen_addresses='$listen'" start >/dev/null
  echo "$port" >"$dir/port"
  local admin="host=$dir/socket port=$port user=shop_admin passfile=$dir/admin.pgpass"
  if ! PGPASSFILE="$dir/admin.pgpass" "$bindir/psql" -XtAq -d "$admin dbname=postgres" \
    -c "SELECT 1 FROM pg_database WHERE datname = 'shop'" | grep -q 1; then
    "$bindir/psql" -XtAq -d "$admin dbname=postgres" -c "CREATE DATABASE shop"
  fi
  echo "$admin dbname=shop"
}

case $command in
  start) start "${3:-}" ;;
  stop) run "$bindir/pg_ctl" -D "$dir/data" -w -t 60 -m "${3:-fast}" stop >/dev/null ;;
  status) run "$bindir/pg_ctl" -D "$dir/data" status ;;
  *) usage ;;
esac
