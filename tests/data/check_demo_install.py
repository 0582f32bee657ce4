"""Builds the demonstration installation, checks it with kvxtool check-install, and scores
every demonstration client with the program's own scorer against the results the client
source expects (which the reference scorer also produces)."""
import csv
import io
import json
import os
import subprocess
import sys
import tempfile

root, kvxtool = sys.argv[1], sys.argv[2]
sys.path.insert(0, os.path.join(root, "scripts"))
from kvxdemo import disk  # noqa: E402

failures = 0
with tempfile.TemporaryDirectory() as tmp:
    inst = os.path.join(tmp, "inst")
    subprocess.run([os.path.join(root, "scripts", "make-demo-install"), "--no-recordings", inst],
                   check=True, stdout=subprocess.DEVNULL)
    check = subprocess.run([kvxtool, "check-install", "--program-dir", inst],
                           capture_output=True, text=True)
    if check.returncode != 0:
        print("check-install found problems:\n" + check.stdout + check.stderr)
        failures += 1
    with open(os.path.join(root, "data", "demo", "clients.txt"), encoding="utf-8") as f:
        clients = disk.parse(f.read())
    # The CSV export gives every client the scores kvxtool score gives, without names.
    export = subprocess.run([kvxtool, "export", "--program-dir", inst, "--data-dir",
                             os.path.join(inst, "datadisk")],
                            capture_output=True, check=True).stdout.decode("utf-8")
    rows = list(csv.reader(io.StringIO(export, newline="")))
    if len(rows) != len(clients) + 1 or "name" in rows[0]:
        print("export: %d rows, header %s" % (len(rows), rows[0]))
        failures += 1
    for c in clients:
        out = subprocess.run([kvxtool, "score", "--program-dir", inst, "--data-dir",
                              os.path.join(inst, "datadisk"), "--client", str(c.number), "--json"],
                             capture_output=True, text=True, check=True).stdout
        scales = json.loads(out)["scales"]
        got = [str(s["percentile"]) for s in scales]
        if got != c.expect[1:]:
            print("client %d: scored %s, expected %s" % (c.number, got, c.expect[1:]))
            failures += 1
        row = rows[c.number] if c.number < len(rows) else []
        want = [str(c.number)] + [v for s in scales
                                  for v in (str(s["raw"]), str(s["percentile"]), s["range"])]
        if row[:1] + row[8:] != want or row[7] != ("invalid" if scales[0]["percentile"] >= 95
                                                   else "valid"):
            print("client %d: exported %s, scored %s" % (c.number, row, want))
            failures += 1
print("%d clients scored, %d problems" % (len(clients), failures))
sys.exit(1 if failures else 0)
