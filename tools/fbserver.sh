# A Firebird server on 127.0.0.1 for the server-mode tests (sourced by tesouraria.sh).
# It runs as the firebird user with a SYSDBA password made for the run, and is
# stopped by its process id.

FBSERVER_STATE=/tmp/tesouraria-fbserver
FBSERVER_DIR="$FBSERVER_STATE/bases"
FBSERVER_PID=""
FBSERVER_PASSWORD=""

fbserver_listening() {
  (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null
}

fbserver_start() {
  as_root mkdir -p "$FBSERVER_STATE"
  # A server left by an earlier run goes first.
  if [ -f "$FBSERVER_STATE/pid" ]; then
    as_root kill -TERM "$(cat "$FBSERVER_STATE/pid")" 2>/dev/null || true
    for _ in $(seq 50); do fbserver_listening || break; sleep 0.1; done
    as_root rm -f "$FBSERVER_STATE/pid"
  fi
  if fbserver_listening; then
    echo "== port 3050 on 127.0.0.1 is taken by another process; the server tests need it" >&2
    return 1
  fi
  FBSERVER_PASSWORD="t$(od -An -N6 -tx1 /dev/urandom | tr -d ' \n')"
  as_root install -d -o firebird -g firebird -m 0770 /tmp/firebird
  as_root install -d -o firebird -g firebird -m 0770 "$FBSERVER_DIR"
  as_root rm -f "$FBSERVER_DIR"/*.fdb
  as_root mkdir -p /var/log/firebird
  as_root touch /var/log/firebird/firebird3.0.log
  as_root chown firebird:firebird /var/log/firebird /var/log/firebird/firebird3.0.log
  # The password is set through the embedded engine while no server runs, with a
  # lock folder of its own so no root-owned lock files are left for the server.
  local lock
  lock=$(mktemp -d)
  local secdb=/var/lib/firebird/3.0/system/security3.fdb
  printf "CREATE OR ALTER USER SYSDBA PASSWORD '%s' USING PLUGIN Srp;\nCOMMIT;\n" "$FBSERVER_PASSWORD" |
    as_root env -u FIREBIRD FIREBIRD_LOCK="$lock" isql-fb -q -user SYSDBA "$secdb" >/dev/null
  as_root rm -rf "$lock"
  as_root chown firebird:firebird "$secdb"
  # Started directly (not through a shell function) so that $! is the server itself,
  # or sudo, which passes the stop signal on.
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo env -u FIREBIRD -u FIREBIRD_LOCK setpriv --reuid=firebird --regid=firebird --init-groups \
    /usr/sbin/firebird >"$FBSERVER_STATE/server.log" 2>&1 &
  FBSERVER_PID=$!
  echo "$FBSERVER_PID" | as_root tee "$FBSERVER_STATE/pid" >/dev/null
  for _ in $(seq 100); do fbserver_listening && break; sleep 0.1; done
  if ! fbserver_listening; then
    echo "== the Firebird server did not start:" >&2
    cat "$FBSERVER_STATE/server.log" >&2 || true
    return 1
  fi
  echo "== Firebird server on 127.0.0.1:3050 (pid $FBSERVER_PID)"
}

fbserver_stop() {
  if [ -n "$FBSERVER_PID" ]; then
    as_root kill -TERM "$FBSERVER_PID" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$FBSERVER_PID" 2>/dev/null || break; sleep 0.1; done
    as_root rm -f "$FBSERVER_STATE/pid"
    FBSERVER_PID=""
  fi
}
