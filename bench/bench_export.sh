#!/usr/bin/env bash
# From process start to the written CSV: `orla-contas --csv` on an account with N movements
# (BENCH_MOVEMENTS, 100000 by default), against the floor of the stock sqlite3 shell running
# the statement's movements query on the same file, in the same run. Prints both times, the
# ratio and the export's peak resident memory.
set -euo pipefail
build=${1:-"$(dirname "$0")/../build"}
n=${BENCH_MOVEMENTS:-100000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/orla-demo-db" "$work/b.db" >/dev/null
sqlite3 "$work/b.db" "INSERT INTO tbContas_Bancarias (conta_id, descrit, saldo, saldo_data, system,
  protected, inactivo) VALUES (70, 'Conta Grande', 1000, date('now','-1200 days') || ' 00:00:00',
  0, 0, 0);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $n)
INSERT INTO tbDocumentos_Recibos (recibo_id, armazem_id, documento_no, data, data_documento,
  data_debito, contacto_id, conta_id, modo_pagamento_id, valor, referencia)
SELECT 100000 + i, 1, 'RC ' || i, datetime('now', '-' || (i % 1100) || ' days', 'start of day',
  '+' || (i % 600) || ' minutes'), NULL, CASE WHEN i % 3 = 0 THEN datetime('now', '-' || (i % 1100)
  || ' days', 'start of day') END, 1 + i % 20, 70, 1 + i % 6, round((i % 997) * 1.37 - 300, 2),
  'REF ' || i FROM n;"
start=$(date -d '-1300 days' +%F)
/usr/bin/time -o "$work/floor" -f %e sqlite3 "$work/b.db" "SELECT * FROM
  vwExtractos_Contas_Bancarias WHERE conta_id = 70 AND data >= '$start 00:00:00' AND
  data <= '$(date +%F) 23:59:59' ORDER BY data, concil DESC, doc_id" >/dev/null
export QT_QPA_PLATFORM=offscreen ORLA_COMMON_APPDATA="$work/app" ORLA_REGISTRY_DIR="$work/reg"
ORLA_SENHA=ana-2024 ORLA_SENHA_BD=orla-demo /usr/bin/time -o "$work/export" -f '%e %M' \
  "$build/orla-contas" --database "$work/b.db" --login-bd orla --utilizador ana --conta 70 \
  --inicio "$(date -d '-1300 days' +%d-%m-%Y)" --fim "$(date +%d-%m-%Y)" --csv "$work/e.csv" \
  >/dev/null
read -r floor <"$work/floor"
read -r export rss <"$work/export"
echo "movements: $n, CSV lines: $(wc -l <"$work/e.csv")"
echo "floor (sqlite3 shell, movements query): $floor s"
echo "export to CSV (from process start):     $export s, peak resident $((rss / 1024)) MB"
awk -v e="$export" -v f="$floor" 'BEGIN { printf "ratio export/floor: %.2f\n", e / f }'
