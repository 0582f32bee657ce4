"""Installs the build into a temporary DESTDIR and checks what a user of the installed program
gets: the programs, the template, the desktop entry, icon, metainfo and manual pages; a first
start that makes a per-user folder passing check-install."""
import os
import shutil
import subprocess
import sys
import tempfile

build = sys.argv[1]
problems = []
with tempfile.TemporaryDirectory() as tmp:
    dest = os.path.join(tmp, "dest")
    subprocess.run(["cmake", "--install", build, "--prefix", "/usr"], check=True,
                   stdout=subprocess.DEVNULL, env=dict(os.environ, DESTDIR=dest))
    usr = os.path.join(dest, "usr")
    for rel in ["bin/kvxtool", "share/kvx/KVX_32.db", "share/kvx/KVXB2.TXT",
                "share/kvx/KVXRPT.TXT", "share/kvx/INVAL.TXT", "share/kvx/branding.ini",
                "share/applications/kvx.desktop", "share/icons/hicolor/scalable/apps/kvx.svg",
                "share/icons/hicolor/48x48/apps/kvx.png",
                "share/metainfo/org.kvxproject.KVX.metainfo.xml",
                "share/man/man1/kvx.1", "share/man/man1/kvxtool.1"]:
        if not os.path.isfile(os.path.join(usr, rel)):
            problems.append("not installed: " + rel)

    home = os.path.join(tmp, "home")
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(home, "data"), HOME=home)
    env.pop("KVX_HOME", None)
    run = subprocess.run([os.path.join(usr, "bin", "kvxtool"), "check-install"],
                         capture_output=True, text=True, env=env)
    if run.returncode != 0:
        problems.append("check-install on the first-run folder: " + run.stdout + run.stderr)
    elif not os.path.isfile(os.path.join(home, "data", "kvx", "KVXB2.TXT")):
        problems.append("no per-user folder was made: " + run.stdout)

    for tool, args in [("desktop-file-validate", [os.path.join(usr, "share/applications/kvx.desktop")]),
                       ("appstreamcli", ["validate", "--no-net",
                                         os.path.join(usr, "share/metainfo/org.kvxproject.KVX.metainfo.xml")])]:
        if shutil.which(tool) is None:
            problems.append(tool + " is not installed")
            continue
        run = subprocess.run([tool] + args, capture_output=True, text=True)
        if run.returncode != 0:
            problems.append(tool + ": " + run.stdout + run.stderr)

for p in problems:
    print(p)
print("%d problems" % len(problems))
sys.exit(1 if problems else 0)
