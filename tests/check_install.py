#!/usr/bin/env python3
"""Installs the build under /usr in a temporary DESTDIR, as the package does, and checks
that every file lands in its place and that the installed programs find what they need
there, away from the build and source folders: the demo maker its scripts (and its
settings name the installed templates), the host its component (its version, then a
statement read headless from the demo database).

Usage: check_install.py CMAKE BUILD_DIR VERSION"""
import datetime
import os
import pathlib
import subprocess
import sys
import tempfile

FILES = ["bin/orla-contas", "bin/orla-demo-db", "lib/liborla_contas.so",
         "include/orla_contas/General.h", "include/orla_contas/StatementJob.h",
         "share/orla-contas/schema.sql", "share/orla-contas/seed.sql",
         *(f"share/orla-contas/templates/{name}"
           for name in ("Extrato_Conta.doc", "Transferencia.doc", "logo.jpg")),
         "share/applications/pt.orla.contas.desktop",
         "share/metainfo/pt.orla.contas.metainfo.xml",
         "share/icons/hicolor/scalable/apps/orla-contas.svg", "share/man/man1/orla-contas.1.gz"]


def run(command, env):
    done = subprocess.run(command, env=env, capture_output=True, text=True, timeout=120)
    if done.returncode != 0:
        sys.exit(f"{command[0]} failed ({done.returncode}):\n{done.stdout}{done.stderr}")
    return done.stdout


def main():
    cmake, build, version = sys.argv[1:4]
    with tempfile.TemporaryDirectory(prefix="orla-install-") as work:
        work = pathlib.Path(work)
        usr = work / "root" / "usr"
        run([cmake, "--install", build, "--prefix", "/usr"],
            dict(os.environ, DESTDIR=str(work / "root")))
        missing = [name for name in FILES if not (usr / name).is_file()]
        if missing:
            sys.exit("not installed: " + ", ".join(missing))

        # No display, no variable pointing back at the build or the source.
        env = {k: v for k, v in os.environ.items()
               if not k.startswith("ORLA_") and k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        env.update(QT_QPA_PLATFORM="offscreen", ORLA_COMMON_APPDATA=str(work / "appdata"),
                   ORLA_REGISTRY_DIR=str(work / "registry"))
        said = run([str(usr / "bin/orla-contas"), "--version"], env)
        if said.strip() != f"orla-contas (Orla Contas) {version}":
            sys.exit(f"--version says {said!r}, the package carries {version}")

        run([str(usr / "bin/orla-demo-db"), str(work / "demo.db")], env)
        settings = (work / "appdata" / "Nexo Software" / "RegShadow.db").read_bytes()
        templates = f"Templates={usr}/share/orla-contas/templates\r\n".encode()
        if templates not in settings:
            sys.exit(f"the demo settings do not name the installed templates:\n{settings!r}")

        env["ORLA_SENHA"] = "ana-2024"
        out = work / "saida"
        out.mkdir()
        today = datetime.date.today()
        period = [(today + datetime.timedelta(days)).strftime("%d-%m-%Y") for days in (-60, 30)]
        run([str(usr / "bin/orla-contas"), "--utilizador", "ana", "--inicio", period[0],
             "--fim", period[1], "--csv", str(out / "extrato.csv"),
             "--relatorio", str(out / "extrato.doc")], env)
        csv = (out / "extrato.csv").read_text(encoding="utf-8").splitlines()
        if len(csv) < 4:
            sys.exit("the installed host listed no movement:\n" + "\n".join(csv))
        if not (out / "extrato.doc").read_bytes().startswith(b"{\\rtf"):
            sys.exit("the installed host's report is not RTF")
    print(f"installed layout checked ({len(FILES)} files), version {version}")


if __name__ == "__main__":
    main()
