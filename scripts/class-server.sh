#!/usr/bin/env bash
# Makes this Debian machine the class server of Kesta: installs PostgreSQL, makes the role and
# the database "kesta", lets the seats of the school's network (given as an address range, for
# example 192.168.1.0/24) reach it with a password, and prints the line the seats write into
# their Kesta.server. Run it once, as root or with sudo; running it again changes nothing but
# the password.
# Usage: scripts/class-server.sh NETWORK
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "Использование: $0 СЕТЬ (например 192.168.1.0/24)" >&2
  exit 2
fi
network=$1
sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo

$sudo apt-get install -y postgresql >/dev/null
version=$(ls /etc/postgresql | sort -n | tail -n 1)
config=/etc/postgresql/$version/main

read -r -s -p "Пароль роли kesta на сервере: " password
echo
[ -n "$password" ] || { echo "Пароль не может быть пустым" >&2; exit 1; }
escaped=${password//\'/\'\'}

as_postgres() {
  if [ -z "$sudo" ]; then runuser -u postgres -- "$@"; else sudo -u postgres "$@"; fi
}
# The cluster Debian made with the package runs (a machine without systemd starts it here).
$sudo pg_ctlcluster "$version" main start 2>/dev/null || true
if as_postgres psql -tAc "SELECT 1 FROM pg_roles WHERE rolname = 'kesta'" | grep -q 1; then
  as_postgres psql -qc "ALTER ROLE kesta WITH LOGIN PASSWORD '$escaped'"
else
  as_postgres psql -qc "CREATE ROLE kesta WITH LOGIN PASSWORD '$escaped'"
fi
if ! as_postgres psql -tAc "SELECT 1 FROM pg_database WHERE datname = 'kesta'" | grep -q 1; then
  as_postgres createdb -O kesta -E UTF8 kesta
fi
# The course's roles, whose members are the login roles of the students' and the teachers'
# computers; kesta-admin gives them their rights.
# The course's owner tells the seats' connections apart by when they began, which the server
# shows only to a role that may read every connection's statistics.
as_postgres psql -qc "GRANT pg_read_all_stats TO kesta"
for role in kesta_student kesta_teacher; do
  as_postgres psql -tAc "SELECT 1 FROM pg_roles WHERE rolname = '$role'" | grep -q 1 ||
    as_postgres psql -qc "CREATE ROLE $role NOLOGIN"
done

# The server listens on the network, and the seats of the school's network sign in with the
# role's password.
echo "listen_addresses = '*'" | $sudo tee "$config/conf.d/kesta.conf" >/dev/null
for user in kesta +kesta_student +kesta_teacher; do
  rule="host kesta $user $network scram-sha-256"
  grep -qxF "$rule" "$config/pg_hba.conf" || echo "$rule" | $sudo tee -a "$config/pg_hba.conf" >/dev/null
done
$sudo pg_ctlcluster "$version" main restart

address=$(hostname -I | awk '{ print $1 }')
echo "Сервер курса готов. Строка для файла Kesta.server на каждом месте:"
echo "host=$address dbname=kesta user=kesta password=…"
