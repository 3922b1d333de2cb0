#!/usr/bin/env python3
"""gramora against Blender 3.4 on the same lawns, in paired, alternating runs.

    python3 bench/blender/compare.py [--gramora build/bin/gramora] [--sizes 200 500 1000]
                                     [--repeat 3] [--render] [--work DIR]

For each size N: gramora builds the N x N lawn to OBJ, Blender's geometry nodes build the same lawn
(evaluation only), gramora builds it to glb, Blender evaluates and makes a mesh of it; the four
runs alternate, REPEAT times. Each run is a whole process: wall time, CPU time (user + system)
and peak resident memory are the process's own (wait4). --render also compares `gramora render`
with Cycles on the lawn of render_lawn.json, on 1 and 2 threads. Prints medians as a Markdown
table, with the load average before and after. Without Blender it measures nothing and says so.
"""
import argparse
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SKIPPED = 77  # the conventional exit status of a check that could not run


def run(args):
    """Runs a process to its end: (wall s, cpu s, peak MB (10^6 bytes; ru_maxrss is in KiB), stdout)."""
    start = time.perf_counter()
    proc = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    out = proc.stdout.read()
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed: " + " ".join(args))
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss * 1024 / 1e6, out


def last_json(text):
    """The last line of a Blender script's output that is a JSON object."""
    return json.loads([line for line in text.splitlines() if line.startswith("{")][-1])


def blender(script, *args):
    return ["blender", "-b", "--factory-startup", "-noaudio", "--python-exit-code", "1", "-P",
            os.path.join(HERE, script), "--", *map(str, args)]


def lawn_scene(work, n):
    path = os.path.join(work, "lawn_%d.json" % n)
    with open(path, "w") as f:
        json.dump({"nodes": [{"class": "Lawn", "name": "Lawn01",
                              "params": {"11": n, "12": n, "# Blades X": n, "# Blades Y": n}}]}, f)
    return path


def median_row(samples):
    return {k: statistics.median(s[k] for s in samples) for k in samples[0]}


def build_table(gramora, work, sizes, repeat):
    blade = os.path.join(work, "blade.obj")
    run([gramora, "build", os.path.join(HERE, "blade.json"), "-o", blade, "-q"])
    rows = []
    for n in sizes:
        scene = lawn_scene(work, n)
        runs = {"obj": [], "eval": [], "glb": [], "mesh": []}
        for _ in range(repeat):
            for kind in ("obj", "eval", "glb", "mesh"):
                if kind in ("obj", "glb"):
                    out = os.path.join(work, "lawn." + kind)
                    wall, cpu, peak, _ = run([gramora, "build", scene, "-o", out, "-q"])
                    os.remove(out)
                else:
                    wall, cpu, peak, _ = run(blender("gn_lawn.py", blade, n, kind))
                runs[kind].append({"wall": wall, "cpu": cpu, "peak": peak})
        med = {k: median_row(v) for k, v in runs.items()}
        for ours, theirs, label in (("obj", "eval", "OBJ vs GN evaluation only"),
                                    ("glb", "mesh", "glb vs GN evaluation + to-mesh")):
            g, b = med[ours], med[theirs]
            rows.append("| %d x %d -> %s | %.2f s (%.2f s CPU), %.2f GB | %.2f s (%.2f s CPU), %.2f GB | %.2f | %.2f |" % (
                n, n, label, g["wall"], g["cpu"], g["peak"] / 1e3, b["wall"], b["cpu"], b["peak"] / 1e3,
                g["wall"] / b["wall"], g["peak"] / b["peak"]))
    print("| Workload | gramora | Blender | time ratio | memory ratio |")
    print("|---|---|---|---|---|")
    print("\n".join(rows))


def render_table(gramora, work, repeat, spp=(1, 3)):
    lawn = os.path.join(work, "render_lawn.obj")
    scene = os.path.join(HERE, "render_lawn.json")
    run([gramora, "build", scene, "-o", lawn, "-q"])
    print("\n| Render, 1280 x 720 | threads | gramora samples/s | Cycles samples/s | ratio |")
    print("|---|---|---|---|---|")
    for threads in (1, 2):
        ours, theirs = [], []
        for _ in range(repeat):
            seconds = []
            for s in spp:
                _, _, _, out = run([gramora, "render", scene, "-o", os.path.join(work, "lawn.png"),
                                    "--threads", str(threads), "--spp", str(s)])
                seconds.append(float(re.search(r", ([0-9.]+) s\)", out).group(1)))
            ours.append(1280 * 720 * (spp[1] - spp[0]) / (seconds[1] - seconds[0]))
            _, _, _, out = run(blender("cycles_lawn.py", lawn, threads, *spp))
            theirs.append(last_json(out)["samples_per_s"])
        g, b = statistics.median(ours), statistics.median(theirs)
        print("| default lawn, sun, ground | %d | %.0f | %.0f | %.2f |" % (threads, g, b, g / b))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--gramora", default=os.path.join(HERE, "..", "..", "build", "bin", "gramora"))
    parser.add_argument("--sizes", type=int, nargs="*", default=[200, 500, 1000])
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--render", action="store_true")
    parser.add_argument("--work", default=None, help="folder for the outputs (default: a temporary folder)")
    args = parser.parse_args()
    if shutil.which("blender") is None:
        print("bench/blender: Blender is not installed, so nothing was compared (apt-get install blender)",
              file=sys.stderr)
        sys.exit(SKIPPED)
    work = args.work or tempfile.mkdtemp(prefix="gramora_blender_")
    print("load average before: %.2f %.2f %.2f" % os.getloadavg())
    if args.sizes:
        build_table(os.path.abspath(args.gramora), work, args.sizes, args.repeat)
    if args.render:
        render_table(os.path.abspath(args.gramora), work, args.repeat)
    print("load average after: %.2f %.2f %.2f" % os.getloadavg())
    if not args.work:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
