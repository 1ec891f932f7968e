#!/usr/bin/env bash
# Throwaway PostgreSQL and MariaDB servers on 127.0.0.1 (free ports, temporary data folders).
# Source it, set "trap stop_test_servers EXIT", then call start_test_servers, which exports the
# connection strings ROWMILL_TEST_PG and ROWMILL_TEST_MARIADB.

free_port() {
  python3 - <<'PY'
import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])
s.close()
PY
}


start_postgres() {
  local bin
  bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
  PG_PORT=$(free_port)
  mkdir -p "$ROWMILL_SERVERS_DIR/pgroot"
  chown postgres:postgres "$ROWMILL_SERVERS_DIR/pgroot"
  PG_DATA="$ROWMILL_SERVERS_DIR/pgroot/data"
  echo rowmill > "$ROWMILL_SERVERS_DIR/pgpass"
  chmod 644 "$ROWMILL_SERVERS_DIR/pgpass"
  su postgres -s /bin/sh -c "'$bin/initdb' -D '$PG_DATA' -U rowmill --pwfile='$ROWMILL_SERVERS_DIR/pgpass' -A md5 -E UTF8 --locale=C.UTF-8" >"$ROWMILL_SERVERS_DIR/pg-init.log" 2>&1
  su postgres -s /bin/sh -c "'$bin/pg_ctl' -D '$PG_DATA' -l '$ROWMILL_SERVERS_DIR/pgroot/pg.log' -w -o '-c listen_addresses=127.0.0.1 -p $PG_PORT -k $PG_DATA -c fsync=off' start" >/dev/null
  PGPASSWORD=rowmill "$bin/psql" -h 127.0.0.1 -p "$PG_PORT" -U rowmill -d postgres -qc "CREATE DATABASE rowmill" >/dev/null
  export ROWMILL_TEST_PG="DRIVER={PostgreSQL Unicode};Server=127.0.0.1;Port=$PG_PORT;Database=rowmill;Uid=rowmill;Pwd=rowmill"
  export ROWMILL_TEST_PG_PORT=$PG_PORT
  PG_BIN=$bin
}

start_mariadb() {
  MY_PORT=$(free_port)
  MY_DATA="$ROWMILL_SERVERS_DIR/mariadb"
  mkdir -p "$MY_DATA"
  mariadb-install-db --user=root --datadir="$MY_DATA" --auth-root-authentication-method=normal \
    --skip-test-db >"$ROWMILL_SERVERS_DIR/my-init.log" 2>&1
  mariadbd --user=root --datadir="$MY_DATA" --port="$MY_PORT" --bind-address=127.0.0.1 \
    --socket="$MY_DATA/mysqld.sock" --pid-file="$MY_DATA/mysqld.pid" --skip-log-bin \
    --innodb-flush-log-at-trx-commit=0 >"$ROWMILL_SERVERS_DIR/my.log" 2>&1 &
  MY_PID=$!
  for _ in $(seq 1 120); do
    mariadb-admin --socket="$MY_DATA/mysqld.sock" -uroot ping >/dev/null 2>&1 && break
    sleep 0.5
  done
  mariadb --socket="$MY_DATA/mysqld.sock" -uroot -e "CREATE DATABASE rowmill CHARACTER SET utf8mb4; CREATE USER 'rowmill'@'127.0.0.1' IDENTIFIED BY 'rowmill'; GRANT ALL ON rowmill.* TO 'rowmill'@'127.0.0.1';"
  export ROWMILL_TEST_MARIADB="DRIVER={MariaDB Unicode};Server=127.0.0.1;Port=$MY_PORT;Database=rowmill;Uid=rowmill;Pwd=rowmill"
  export ROWMILL_TEST_MARIADB_PORT=$MY_PORT
}

stop_test_servers() {
  set +e
  if [ -n "${PG_BIN:-}" ] && [ -d "${PG_DATA:-}" ]; then
    su postgres -s /bin/sh -c "'$PG_BIN/pg_ctl' -D '$PG_DATA' -m immediate stop" >/dev/null 2>&1
  fi
  if [ -n "${MY_PID:-}" ]; then
    kill "$MY_PID" 2>/dev/null
    for _ in $(seq 1 40); do kill -0 "$MY_PID" 2>/dev/null || break; sleep 0.25; done
    kill -9 "$MY_PID" 2>/dev/null
  fi
  [ -n "${ROWMILL_SERVERS_DIR:-}" ] && rm -rf "$ROWMILL_SERVERS_DIR"
  return 0
}

# Prints what the servers logged, for a failed run; the folder goes when the servers stop.
print_test_server_logs() {
  local dir=${ROWMILL_SERVERS_DIR:-} log
  [ -n "$dir" ] || return 0
  for log in "$dir/pg-init.log" "$dir/pgroot/pg.log" "$dir/my-init.log" "$dir/my.log"; do
    [ -f "$log" ] || continue
    echo "== $(basename "$log"), its last 200 lines =="
    tail -n 200 "$log"
  done
}

start_test_servers() {
  ROWMILL_SERVERS_DIR=$(mktemp -d /tmp/rowmill-servers.XXXXXX)
  chmod 755 "$ROWMILL_SERVERS_DIR"
  start_postgres
  start_mariadb
}
