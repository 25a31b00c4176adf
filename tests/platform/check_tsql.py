# Parses every statement the component sent during the tests (files statements-PID.sql in the
# folder given, records ended by \x1e) as T-SQL; a refusal fails, except the parser's known gaps.
# No statement at all fails too: the check would have decided nothing.
import pathlib
import re
import sys

import sqlglot

# Gaps of python3-sqlglot 10.6 in valid T-SQL, by name, with the reason.
KNOWN_GAPS = {
    "COMMIT TRAN": (re.compile(r"^\s*COMMIT\s+TRAN\s*;?\s*$", re.I),
                    "sqlglot 10.6 knows COMMIT TRANSACTION but not its short form TRAN"),
    "ROLLBACK TRAN": (re.compile(r"^\s*ROLLBACK\s+TRAN\s*;?\s*$", re.I),
                      "sqlglot 10.6 knows ROLLBACK TRANSACTION but not its short form TRAN"),
}


def main(folder):
    statements = set()
    for log in sorted(pathlib.Path(folder).glob("statements-*.sql")):
        statements.update(s for s in log.read_text(encoding="utf-8").split("\x1e") if s.strip())
    if not statements:
        print(f"no statements were recorded in {folder}")
        return 1
    refused, excused = [], 0
    for sql in sorted(statements):
        try:
            sqlglot.parse_one(sql, read="tsql")
        except Exception as error:  # any refusal of the parser is a finding
            gap = next((name for name, (form, _) in KNOWN_GAPS.items() if form.match(sql)), None)
            if gap:
                excused += 1
            else:
                refused.append((sql, f"{type(error).__name__}: {error}"))
    for sql, error in refused:
        print(f"REFUSED: {sql!r}\n  {error}")
    print(f"{len(statements)} distinct statements, {len(refused)} refused, "
          f"{excused} known parser gaps")
    return 1 if refused else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
