#!/usr/bin/env bash
# Where the notes' storage shows outside the core: field names of the schema
# as quoted text, SQL statements, and the connection, its statements and the
# field layouts. Prints each place, then a count; exits 1 when there is any. Program code only: tests and
# benchmarks may reach into the store to set up and check what they need.
#   bash tools/checklayers.sh          every place
#   bash tools/checklayers.sh --count  the counts alone
set -euo pipefail
cd "$(dirname "$0")/.."

# The core.
inside='^core/'
fields='idCategoria|Categoria|idArgomento|argomento|contenuto|ContenutoTxt|ultimoaggiornamento|TipoAllarme|DataOraAllarme'
fields+='|lingua|UltimoAvvio|UltimaCat|UltimoArg|SysFont|SysFontAltezza|SysFontAttributi|EditFont|EditFontAltezza'
fields+='|EditFontAttributi|Editcolore|UltimaLarg|UltimaAlt|mostrapulsanti|idBozza|DataOraBozza'

files=$(git ls-files '*.cpp' '*.h' | grep -Ev "$inside" | grep -Ev '^(tests|bench)/')
report() {
  local what=$1 pattern=$2
  local hits
  hits=$(grep -nE "$pattern" $files || true)
  local n=0
  [ -n "$hits" ] && n=$(printf '%s\n' "$hits" | wc -l)
  if [ "${count_only:-0}" = 0 ] && [ -n "$hits" ]; then
    printf '%s\n' "$hits" | sed "s/^/$what: /"
  fi
  printf '%-8s %d\n' "$what" "$n" >&2
  total=$((total + n))
}
count_only=0
[ "${1:-}" = --count ] && count_only=1
total=0
report field "\"($fields)\""
report sql '"(SELECT|INSERT|UPDATE|DELETE|CREATE|DROP|ALTER|PRAGMA|BEGIN|COMMIT|ROLLBACK)\b'
report cursor '\b(SingleRow|TableInfo|Statement|Connection|Transaction)\b'
[ "$total" -eq 0 ]
