#!/usr/bin/env bash
# The printed statement as a PDF: `orla-contas --pdf` (from process start to the written PDF,
# LibreOffice's conversion included) on an account listing 2,000 and then 8,000 movements
# (BENCH_SMALL, BENCH_LARGE), with the demo's template. Prints both times, the pages, and the
# ratio of the two: a conversion that grows linearly stays near 4.
set -euo pipefail
build=${1:-"$(dirname "$0")/../build"}
small=${BENCH_SMALL:-2000}
large=${BENCH_LARGE:-8000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/orla-demo-db" "$work/b.db" >/dev/null
export QT_QPA_PLATFORM=offscreen ORLA_COMMON_APPDATA="$work/app" ORLA_REGISTRY_DIR="$work/reg"
export TMPDIR="$work" XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$work/run"

# Account 70 + n with n movements over the 1,000 days before today.
for n in "$small" "$large"; do
  sqlite3 "$work/b.db" "INSERT INTO tbContas_Bancarias (conta_id, descrit, saldo, saldo_data,
    system, protected, inactivo) VALUES (70 + $n, 'Conta $n', 1000,
    date('now','-1200 days') || ' 00:00:00', 0, 0, 0);
  WITH RECURSIVE s(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM s WHERE i < $n)
  INSERT INTO tbDocumentos_Recibos (recibo_id, armazem_id, documento_no, data, data_documento,
    data_debito, contacto_id, conta_id, modo_pagamento_id, valor, referencia)
  SELECT 100000 * ($n / 1000) + i, 1, 'RC ' || i, datetime('now', '-' || (i % 1000) || ' days',
    'start of day', '+' || (i % 600) || ' minutes'), NULL, NULL, 1 + i % 20, 70 + $n, 1 + i % 6,
    round((i % 997) * 1.37 - 300, 2), 'REF ' || i FROM s;"
done

seconds() {
  local n=$1
  ORLA_SENHA=ana-2024 ORLA_SENHA_BD=orla-demo /usr/bin/time -o "$work/t$n" -f %e \
    "$build/orla-contas" --database "$work/b.db" --login-bd orla --utilizador ana \
    --conta $((70 + n)) --inicio "$(date -d '-1001 days' +%d-%m-%Y)" --fim "$(date +%d-%m-%Y)" \
    --pdf "$work/e$n.pdf" >/dev/null
  cat "$work/t$n"
}

# A first conversion starts LibreOffice once, so that neither size pays for a cold start.
seconds "$small" >/dev/null
t_small=$(seconds "$small")
t_large=$(seconds "$large")
pages() { pdfinfo "$1" | awk '/^Pages:/ { print $2 }'; }
echo "PDF of $small movements: $t_small s, $(pages "$work/e$small.pdf") pages"
echo "PDF of $large movements: $t_large s, $(pages "$work/e$large.pdf") pages"
awk -v a="$t_small" -v b="$t_large" -v n="$small" -v m="$large" \
  'BEGIN { printf "ratio %d/%d: %.2f (rows ratio %.0f)\n", m, n, b / a, m / n }'
