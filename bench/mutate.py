#!/usr/bin/env python3
"""Plants each slip of bench/mutants.tsv in turn, rebuilds what it touches, runs the suites that
could see it and says whether they caught it. The source is put back after each one (also when
interrupted). Run through bench/mutate.sh, which starts the database server the suites need."""
import argparse
import collections
import os
import re
import subprocess
import sys
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def load(path):
    out = []
    for n, line in enumerate(open(path, encoding="utf-8"), 1):
        if not line.strip() or line.startswith("#"):
            continue
        cols = line.rstrip("\n").split("\t")
        if len(cols) != 6:
            sys.exit(f"{path}:{n}: six tab-separated columns wanted, found {len(cols)}")
        unescape = lambda s: s.replace("\u23ce", "\n")
        out.append(dict(id=cols[0], file=cols[1], suites=cols[2].split(","), find=unescape(cols[3]),
                        replace=unescape(cols[4]), what=cols[5]))
    return out


def run(cmd, timeout):
    try:
        p = subprocess.run(cmd, cwd=root, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=timeout)
        return p.returncode, p.stdout.decode(errors="replace")
    except subprocess.TimeoutExpired:
        return -1, "timed out"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(root, "build"))
    ap.add_argument("--list", default=os.path.join(root, "bench", "mutants.tsv"))
    ap.add_argument("--only", default="", help="a regular expression of the ids to plant")
    ap.add_argument("--log", default="", help="a file for the failing output of each slip")
    args = ap.parse_args()
    mutants = [m for m in load(args.list) if re.search(args.only, m["id"])]
    results = []
    log = open(args.log, "w", encoding="utf-8") if args.log else None
    started = time.time()
    # The fast tier first: the suites that need no server (ctest -L unit) see a slip in the rules
    # in seconds; only a slip they miss waits for the window suites named beside it.
    rc, out = run(["ctest", "--test-dir", args.build, "-N", "-L", "unit"], 120)
    unit = re.findall(r"Test\s+#\d+: (\S+)", out) if rc == 0 else []
    for m in mutants:
        path = os.path.join(root, m["file"])
        original = open(path, encoding="utf-8").read()
        count = original.count(m["find"])
        if count != 1:
            results.append((m, "stale", f"found {count} times"))
            print(f"{m['id']:12} stale      the text is found {count} times in {m['file']}", flush=True)
            continue
        t0 = time.time()
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original.replace(m["find"], m["replace"]))
            verdict = ""
            # A slip the fast tier catches is caught; one that breaks its build is judged below.
            if unit and run(["cmake", "--build", args.build, "--target"] + unit, 1800)[0] == 0:
                rc, out = run(["ctest", "--test-dir", args.build, "--output-on-failure", "-L", "unit"], 600)
                if rc != 0:
                    verdict, detail = "caught", out
            if not verdict:
                rc, out = run(["cmake", "--build", args.build, "--target"] + m["suites"], 1800)
                if rc != 0:
                    verdict, detail = "unbuilt", out[-2000:]
                else:
                    pattern = "^(" + "|".join(m["suites"]) + ")$"
                    rc, out = run(["ctest", "--test-dir", args.build, "--output-on-failure", "-R", pattern], 900)
                    verdict = "caught" if rc != 0 else "survived"
                    detail = out
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        results.append((m, verdict, detail))
        print(f"{m['id']:12} {verdict:10} {time.time() - t0:5.0f} s  {m['what']}", flush=True)
        if log and verdict != "survived":
            fails = [l for l in detail.splitlines() if l.startswith(("FAIL!", "   Loc", "   Actual", "   Expected"))]
            log.write(f"== {m['id']} {verdict}\n" + "\n".join(fails[:12] or detail.splitlines()[-15:]) + "\n")
    # Put the build back as the source is.
    run(["cmake", "--build", args.build], 3600)
    per = collections.OrderedDict()
    for m, verdict, _ in results:
        parts = m["file"].split("/")
        folder = "/".join(parts[1:3]) if parts[1] == "rules" else parts[1]
        per.setdefault(folder, collections.Counter())[verdict] += 1
    print("\nfolder          caught / planted")
    for folder, c in per.items():
        planted = c["caught"] + c["survived"]
        print(f"{folder:15} {c['caught']:3} / {planted:3}" + (f"   ({c['stale']} stale, {c['unbuilt']} unbuilt)"
                                                              if c["stale"] or c["unbuilt"] else ""))
    caught = sum(c["caught"] for c in per.values())
    planted = sum(c["caught"] + c["survived"] for c in per.values())
    print(f"score: {caught} caught of {planted} planted ({100.0 * caught / max(planted, 1):.1f} %) "
          f"in {(time.time() - started) / 60:.1f} min")
    survivors = [m["id"] for m, v, _ in results if v == "survived"]
    if survivors:
        print("survived: " + " ".join(survivors))
    bad = [m["id"] for m, v, _ in results if v in ("stale", "unbuilt")]
    if bad:
        print("fix the list (stale or unbuilt): " + " ".join(bad))
    return 0


if __name__ == "__main__":
    sys.exit(main())
