#!/usr/bin/python3
"""Mutation check of the tests: each mutant below changes one spot of the core (a
comparison, a dropped statement, a flipped sign), the build is redone and the test
suite run; a mutant is killed when a test program fails. The mutated file is always
put back, also on an error or an interrupt (and on the next start, should this
process have been killed outright).

    /usr/bin/python3 scripts/mutate.py [--build build] [--only ID,...] [--json FILE]
                                       [--compare BEFORE.json] [--exclude REGEX]
                                       [--recheck BEFORE.json]

--baseline-tests DIR also runs, on the same mutated build, the test programs of an earlier
version of the suite, writing their results to --baseline-json: one build serves the suite
before and after a change of the tests. DIR holds copies of the earlier build/tests/tst_*
programs and of build/tests/CTestTestfile.cmake with build/tests/ (and the statements folder)
renamed to DIR in it; the programs load the component from the build, so they run on each
mutant.

--recheck runs again only the mutants an earlier run killed, first with only the test
programs that killed each one then (when none does any more) with the whole suite: the quick
check after tests were cut, since cutting tests cannot kill a mutant that survived.

Prints killed/survived per mutant, the score, and per test program the mutants
that it alone kills. A mutant that does not compile is counted apart.
"""

import argparse
import json
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent

# (id, file, exact original text, replacement); the original occurs once in the file.
MUTANTS = [
    # Statement fill and running balance
    ("fill-carried-sign", "src/statement/StatementReader.cpp",
     "balance = concilOnly ? moved : account.saldo + moved;",
     "balance = concilOnly ? moved : account.saldo - moved;"),
    ("fill-unreconciled-opening", "src/statement/StatementReader.cpp",
     "balance = concilOnly ? Money() : account.saldo;", "balance = account.saldo;"),
    ("fill-clamp-start", "src/statement/StatementReader.cpp",
     "inicio = std::max(inicio, balanceDate);", ";"),
    ("fill-ignore-earlier", "src/statement/StatementReader.cpp",
     "if (!request.ignorarAnteriores) {", "if (request.ignorarAnteriores) {"),
    ("fill-zero-debit-shown", "src/statement/StatementReader.cpp",
     "if (in > Money()) {", "if (in >= Money()) {"),
    ("fill-negative-credit-side", "src/statement/StatementReader.cpp",
     "std::max(*debito, Money()) - std::min(*credito, Money());",
     "std::max(*debito, Money()) + std::min(*credito, Money());"),
    ("fill-running-sign", "src/statement/StatementReader.cpp",
     "balance += row.delta;", "balance -= row.delta;"),
    ("rows-opening-date", "src/statement/StatementRows.cpp",
     "return row.kind == RowKind::OpeningCarried || !row.date",
     "return row.kind == RowKind::OpeningAtBalanceDate || !row.date"),
    ("rows-key-armazem", "src/statement/StatementRows.cpp",
     "Id(origem) + Id(armazem) + Id(doc)", "Id(origem) + Id(doc)"),
    ("queries-end-bound", "src/statement/StatementQueries.cpp",
     'QStringLiteral(" AND data <=") + end', 'QStringLiteral(" AND data <") + end'),
    ("queries-balance-date", "src/statement/StatementQueries.cpp",
     'QStringLiteral(" AND data >= ") + balanceDate;',
     'QStringLiteral(" AND data > ") + balanceDate;'),
    ("queries-unreconciled", "src/statement/StatementQueries.cpp",
     'sql += QStringLiteral(" AND concil = 0");', ";"),
    # Reconciliation
    ("recon-restore-limit", "src/statement/Reconciliation.cpp",
     "WallClock(debit->date(), debit->time()) < limit",
     "WallClock(debit->date(), debit->time()) <= limit"),
    ("recon-restore-dropped", "src/statement/Reconciliation.cpp",
     "connection.Execute(RestoreOwnDateStatement(record));", ";"),
    ("recon-closed-limit", "src/statement/Reconciliation.cpp",
     "limit = WallClock(closed->date(), closed->time());", ";"),
    ("recon-destination-column", "src/statement/ReconciliationStatements.cpp",
     '"trf_id", "data_debito_destino",', '"trf_id", "data_debito",'),
    ("recon-clear-null", "src/statement/ReconciliationStatements.cpp",
     'Update(record, &SourceTable::debitColumn, QStringLiteral("null"))',
     'Update(record, &SourceTable::debitColumn, QStringLiteral("data"))'),
    # Transfers
    ("limits-closing-day", "src/transfers/AccountLimits.cpp",
     "(date <= *closed ||", "(date < *closed ||"),
    ("limits-lower-max", "src/transfers/AccountLimits.cpp",
     "qMax(*dates.dataClosed, *dates.saldoData)", "qMin(*dates.dataClosed, *dates.saldoData)"),
    ("write-stale-ignored", "src/transfers/TransferWrite.cpp",
     "if (*stored != loaded)", "if (false)"),
    ("write-amount-one-side", "src/transfers/TransferWrite.cpp",
     "if (sides.origin && sides.destination)", "if (sides.origin || sides.destination)"),
    ("write-notes-dropped", "src/transfers/TransferWrite.cpp",
     "UpdateNotes(connection, trfId, values);", ";"),
    ("write-by-date", "src/transfers/TransferWrite.cpp",
     "const bool byDate = date.value_or(kNoDate) <= *closed;",
     "const bool byDate = date.value_or(kNoDate) < *closed;"),
    ("write-destination-unchecked", "src/transfers/TransferWrite.cpp",
     "for (const bool origin : {true, false}) {", "for (const bool origin : {true}) {"),
    ("window-negative-amount", "src/transfers/frmTransferencia.cpp",
     "if (*amount < Money())", "if (false)"),
    ("window-limit-day", "src/transfers/frmTransferencia.cpp",
     "picker->date() < *limit;", "picker->date() <= *limit;"),
    ("window-dates-order", "src/transfers/frmTransferencia.cpp",
     "later->date() < first->date();", "later->date() <= first->date();"),
    ("window-amount-not-rounded", "src/transfers/frmTransferencia.cpp",
     "if (!amount || *amount == amount->RoundedToCentsAsShown())", "if (true)"),
    # SQL literals and control values
    ("sql-quotes-kept", "src/common/SqlLiterals.cpp",
     """text = WithoutNul(text).replace(u'\\'', QStringLiteral("' + CHAR(39) + '"));""",
     "text = WithoutNul(text);"),
    ("sql-nul-kept", "src/common/SqlLiterals.cpp",
     "return text.remove(QChar(0));", "return text;"),
    ("sql-no-date", "src/common/SqlLiterals.cpp",
     "if (date && IsNoDate(*date))", "if (false)"),
    ("sql-ddmmyyyy", "src/common/SqlLiterals.cpp",
     "if (!date && text.size() == 8)", "if (!date && text.size() == 6)"),
    ("sql-like-blanks", "src/common/SqlLiterals.cpp",
     "text.replace(u' ', u'%');", ";"),
    ("sql-date-format", "src/common/SqlLiterals.cpp",
     "kind == SqlDate ? formats::kDataIso : formats::kDataHoraIso",
     "kind == SqlDate ? formats::kDataHoraIso : formats::kDataIso"),
    ("sql-true", "src/common/SqlLiterals.cpp",
     'value.toBool() ? QStringLiteral("1")', 'value.toBool() ? QStringLiteral("-1")'),
    ("controls-grouping-dot", "src/common/ControlValues.cpp",
     "if (decimal == QLatin1String(\",\"))\n        tag.remove(QLatin1Char('.'));",
     "if (decimal == QLatin1String(\",\"))\n        ;"),
    ("controls-auto-text-tag", "src/common/ControlValues.cpp",
     "control.SetTag(NumberOf(value) ? text : QString());", "control.SetTag(text);"),
    ("controls-percent-editing", "src/common/ControlValues.cpp",
     "return TextOf(float(*number * 100.0));", "return TextOf(float(*number));"),
    ("controls-percent", "src/common/ControlValues.cpp",
     "TextOf(float(CDbl(raw)) / 100.0f)", "TextOf(float(CDbl(raw)))"),
    # RTF escaping
    ("rtf-brace-escaped", "src/printing/RtfFill.cpp",
     "if (c == u'\\\\' || c == u'{' || c == u'}') {", "if (c == u'\\\\' || c == u'{') {"),
    ("rtf-crlf-one-break", "src/printing/RtfFill.cpp",
     "if (c == u'\\r' && at < end && *at == u'\\n')\n                ++at;", ";"),
    ("rtf-three-spaces", "src/printing/RtfFill.cpp",
     'return OnlySpaces(text) ? QStringView(u"   ") : text;', "return text;"),
    ("rtf-unicode-signed", "src/printing/RtfFill.cpp",
     "std::to_chars(p, p + 6, qint16(c))", "std::to_chars(p, p + 6, quint16(c))"),
    # Rights
    ("rights-cache-user", "src/security/Permissions.cpp",
     "if (cache.user != UserName)\n            cache = PolicyCache{UserName, {}};", ";"),
    ("rights-protected", "src/security/Permissions.cpp",
     'return !isProtected || CheckSecurityPolicy(UserName, QStringLiteral("#2302"));',
     "return true;"),
    ("context-login-quoted", "src/context/Context.cpp",
     'QStringLiteral(";User ID="), value(login)', 'QStringLiteral(";User ID="), login'),
    ("context-in-transaction", "src/context/SharedConnection.cpp",
     "valor.toLongLong() > 0;", "valor.toLongLong() >= 0;"),
    ("context-four-passes", "src/context/SharedConnection.cpp",
     "pass < 4 &&", "pass < 1 &&"),
    ("context-fill-keep", "src/context/ControlFill.cpp",
     " || (keep && !keep(rs)))", ")"),
    ("context-race-secondary", "src/context/ServerRace.cpp",
     "else if (IsOpen(secondary))\n        winner = RaceWinner::Secondary;", ";"),
    # Connection strings
    ("connstr-semicolon", "src/platform/db/ConnectionString.cpp",
     "return c == u';' || c == u'{'", "return c == u'{'"),
    ("connstr-brace-doubled", "src/platform/db/ConnectionString.cpp",
     "escaped.replace(QLatin1Char('}'), QLatin1String(\"}}\"));", ";"),
    ("connstr-parse-doubled", "src/platform/db/ConnectionString.cpp",
     "} else if (i + 1 < text.size() && text[i + 1] == u'}') {", "} else if (false) {"),
    ("connstr-last-wins", "src/platform/db/ConnectionString.cpp",
     "for (auto it = pairs_.crbegin(); it != pairs_.crend(); ++it) {",
     "for (auto it = pairs_.cbegin(); it != pairs_.cend(); ++it) {"),
    # Registry shadow
    ("shadow-empty-first-line", "src/common/RegShadow.cpp",
     " || lines->first().isEmpty())", ")"),
    ("shadow-equal-not-rewritten", "src/common/RegShadow.cpp",
     "if (lines->contains(entry))\n        return true;", ";"),
    ("shadow-duplicates-kept", "src/common/RegShadow.cpp",
     "if (!placed)\n            rewritten.append(entry);", "rewritten.append(entry);"),
    ("shadow-crlf", "src/common/RegShadow.cpp",
     "text[i + 1] == QLatin1Char('\\n'))\n            ++i;", "text[i + 1] == QLatin1Char('\\n'))\n            ;"),
    ("shadow-case", "src/common/RegShadow.cpp",
     "line.startsWith(prefix, Qt::CaseInsensitive)", "line.startsWith(prefix, Qt::CaseSensitive)"),
    ("shadow-unlocked-write", "src/common/RegShadow.cpp",
     "if (!lock.held())\n        return false;", ";"),
    # SQL Server dialect
    ("dialect-int-limit", "src/platform/db/SqlServerDialect.cpp",
     "whole.toLongLong() <= 2147483647", "whole.toLongLong() < 2147483647"),
    ("dialect-decimal-scale", "src/platform/db/SqlServerDialect.cpp",
     "return scale > 0 ? nines + u'.' + QString(scale, u'9') : nines;", "return nines;"),
    ("dialect-sub-days", "src/platform/db/SqlServerDialect.cpp",
     '(minus ? QStringLiteral("orla_sub_days(") : QStringLiteral("orla_add_days("))',
     '(minus ? QStringLiteral("orla_add_days(") : QStringLiteral("orla_sub_days("))'),
    ("dialect-collation-column", "src/platform/db/SqlServerDialect.cpp",
     "if (a.column || b.column ||", "if (a.column ||"),
    ("dialect-top-union", "src/platform/db/SqlServerDialect.cpp",
     "if (CombinesSelects(statement, end))", "if (false)"),
    ("dialect-limit-place", "src/platform/db/SqlServerDialect.cpp",
     'out.insert(tail, QStringLiteral(" LIMIT ") + limit);', 'out += QStringLiteral(" LIMIT ") + limit;'),
    ("dialect-isnull-cast", "src/platform/db/SqlServerDialect.cpp",
     "if (cast && cast->close + 1 == first.second)", "if (false)"),
]

BACKUP = ".mutate-restore.json"  # in the build folder while a mutant is applied


def restore_leftover(build):
    """Puts back a file left mutated by a run that was killed outright."""
    backup = build / BACKUP
    if backup.exists():
        saved = json.loads(backup.read_text())
        (ROOT / saved["file"]).write_text(saved["text"])
        backup.unlink()
        print("restored " + saved["file"] + " left mutated by an earlier run")


class Applied:
    """The mutant in the working tree for the duration of a with-block."""

    def __init__(self, build, path, original, replacement):
        self.build, self.path = build, ROOT / path
        self.rel, self.original, self.replacement = path, original, replacement

    def __enter__(self):
        self.text = self.path.read_text()
        if self.text.count(self.original) != 1:
            raise SystemExit(f"{self.rel}: the original snippet must occur once: {self.original!r}")
        (self.build / BACKUP).write_text(json.dumps({"file": self.rel, "text": self.text}))
        self.path.write_text(self.text.replace(self.original, self.replacement))

    def __exit__(self, *exc):
        self.path.write_text(self.text)
        (self.build / BACKUP).unlink(missing_ok=True)
        return False


def build_tree(build, timeout):
    try:
        return subprocess.run(["cmake", "--build", str(build), "-j", "2"], cwd=ROOT,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              timeout=timeout).returncode == 0
    except subprocess.TimeoutExpired:
        return False


def run_tests(build, exclude, per_test, whole, only=None):
    """The test programs that fail (a timeout is a failure), and the test functions
    that report a failure, as "Class::function". `build` is the build folder, or a
    folder holding a CTestTestfile.cmake of its own (see --baseline-tests)."""
    failed_log = build / "Testing/Temporary/LastTestsFailed.log"
    failed_log.unlink(missing_ok=True)
    output = build / "Testing/Temporary/mutate-output.log"
    output.parent.mkdir(parents=True, exist_ok=True)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    command = ["ctest", "--test-dir", str(build), "-j", "2", "--timeout", str(per_test),
               "--output-on-failure", "--output-log", str(output)]
    if exclude:
        command += ["-E", exclude]
    if only:
        # The statement check fails by itself when the programs chosen send no statement.
        command += ["-R", "^(" + "|".join(map(re.escape, only)) + ")$", "-FC", "statements"]
    try:
        subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=whole, start_new_session=True)
    except subprocess.TimeoutExpired:
        return ["(whole run timed out)"], []
    programs = []
    if failed_log.exists():
        programs = sorted(line.split(":", 1)[1].strip()
                          for line in failed_log.read_text().splitlines() if ":" in line)
    functions = set()
    if output.exists():
        for match in re.finditer(r"^FAIL!  : (\w+::\w+)", output.read_text(errors="replace"),
                                 re.M):
            functions.add(match.group(1))
    return programs, sorted(functions)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default="build")
    parser.add_argument("--only", help="comma-separated mutant ids")
    parser.add_argument("--json", help="write the results here")
    parser.add_argument("--compare", help="results of an earlier run: list mutants it killed "
                        "that now survive (with --recheck, the same file)")
    parser.add_argument("--exclude", default="^tst_reportpdf$",
                        help="ctest -E regex of tests not run (default: the LibreOffice one)")
    parser.add_argument("--test-timeout", type=int, default=120)
    parser.add_argument("--list", action="store_true", help="list the mutants and stop")
    parser.add_argument("--recheck", help="results of an earlier run: rerun only the mutants it "
                        "killed, each first with its earlier killers alone")
    parser.add_argument("--baseline-tests", help="a folder holding an earlier version of the "
                        "test programs and their CTestTestfile.cmake, run on each mutant too")
    parser.add_argument("--baseline-json", help="where the earlier programs' results go")
    args = parser.parse_args()
    build = (ROOT / args.build).resolve()

    # SIGTERM and SIGHUP unwind like Ctrl-C, so the with-block puts the file back.
    def interrupted(signum, frame):
        raise KeyboardInterrupt
    for sig in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(sig, interrupted)

    restore_leftover(build)
    mutants = MUTANTS
    if args.only:
        wanted = set(args.only.split(","))
        mutants = [m for m in MUTANTS if m[0] in wanted]
    earlier = json.loads(Path(args.recheck).read_text()) if args.recheck else None
    if earlier is not None:
        mutants = [m for m in mutants if earlier.get(m[0], {}).get("status") == "killed"]
    if args.list:
        for ident, path, _, _ in mutants:
            print(f"{ident:32} {path}")
        return 0

    if not build_tree(build, 3600):
        raise SystemExit("the unmutated tree does not build")
    for folder in [build] + ([Path(args.baseline_tests).resolve()] if args.baseline_tests else []):
        failing, _ = run_tests(folder, args.exclude, args.test_timeout, 3600)
        if failing:
            raise SystemExit(f"tests fail in {folder} before any mutant: " + ", ".join(failing))

    results = {}
    baseline = {}
    started = time.time()
    try:
        for n, (ident, path, original, replacement) in enumerate(mutants, 1):
            t0 = time.time()
            with Applied(build, path, original, replacement):
                if not build_tree(build, 1200):
                    results[ident] = {"status": "uncompilable", "killers": [],
                                      "functions": []}
                else:
                    killers, functions = [], []
                    if args.baseline_tests:
                        old, old_functions = run_tests(Path(args.baseline_tests).resolve(),
                                                       args.exclude, args.test_timeout, 1800)
                        baseline[ident] = {"status": "killed" if old else "survived",
                                           "killers": old, "functions": old_functions}
                        print(f"        before: {baseline[ident]['status']} {' '.join(old)}",
                              flush=True)
                        if old:  # the earlier killers first, as with --recheck
                            killers, functions = run_tests(build, args.exclude,
                                                           args.test_timeout, 1800, old)
                    if earlier is not None:
                        killers, functions = run_tests(build, args.exclude, args.test_timeout,
                                                       1800, earlier[ident]["killers"])
                    if not killers:
                        killers, functions = run_tests(build, args.exclude, args.test_timeout,
                                                       1800)
                    results[ident] = {"status": "killed" if killers else "survived",
                                      "killers": killers, "functions": functions}
            r = results[ident]
            print(f"[{n}/{len(mutants)}] {ident:32} {r['status']:12} "
                  f"{' '.join(r['killers'])} ({time.time() - t0:.0f} s)", flush=True)
            for function in r["functions"]:
                print(f"        {function}", flush=True)
            if args.json:
                Path(args.json).write_text(json.dumps(results, indent=1, sort_keys=True))
            if args.baseline_json:
                Path(args.baseline_json).write_text(json.dumps(baseline, indent=1,
                                                               sort_keys=True))
    finally:
        build_tree(build, 3600)  # the build matches the sources again

    scored = {k: v for k, v in results.items() if v["status"] != "uncompilable"}
    killed = [k for k, v in scored.items() if v["status"] == "killed"]
    print(f"\nscore: {len(killed)}/{len(scored)} killed"
          f" ({len(results) - len(scored)} not compiling, apart)"
          f" in {(time.time() - started) / 60:.0f} min")
    for k, v in results.items():
        if v["status"] != "killed":
            print(f"  {v['status']}: {k}")
    only = {}
    for k in killed:
        if len(results[k]["killers"]) == 1:
            only.setdefault(results[k]["killers"][0], []).append(k)
    print("\nmutants only one test program kills:")
    for test in sorted(only):
        print(f"  {test}: {', '.join(only[test])}")
    by_function = {}
    for k in killed:
        for function in results[k]["functions"]:
            by_function.setdefault(function, []).append(k)
    print("\nmutants each failing test function reports:")
    for function in sorted(by_function):
        print(f"  {function}: {', '.join(by_function[function])}")
    if args.json:
        Path(args.json).write_text(json.dumps(results, indent=1, sort_keys=True))
    if args.compare:
        before = json.loads(Path(args.compare).read_text())
        lost = [k for k, v in before.items()
                if v["status"] == "killed" and results.get(k, {}).get("status") == "survived"]
        print("\nkilled before, surviving now: " + (", ".join(lost) if lost else "none"))
        return 1 if lost else 0
    return 0


if __name__ == "__main__":
    sys.exit(main())
