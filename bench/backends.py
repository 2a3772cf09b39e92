#!/usr/bin/env python3
"""The software extended real's speed against the x87 unit's, in one run.

  bench/backends.py X87_BENCH SOFT_BENCH [ROUNDS]

X87_BENCH and SOFT_BENCH are tavrin_bench of the host and host-soft builds
(build/host/bin/tavrin_bench, build/host-soft/bin/tavrin_bench). The two are
run in turns, ROUNDS times each (default 5), on the conversions and CALC
(TextToNumber, FormatNumber under "###.#", DecimalDigits, one CALC); each
benchmark's median CPU time on the soft build is divided by the x87
build's. The per-operation pairs ExtendedOp_*_soft / ExtendedOp_*_x87 are
measured side by side in X87_BENCH itself. Above 1: the software backend is
slower.
"""
import json
import statistics
import subprocess
import sys

WHOLE_PROGRAM = "^(TextToNumber|FormatNumber|DecimalDigits|Calc)_(.*_)?Ours$"
OPERATIONS = "^ExtendedOp_"
MIN_TIME = "0.2"
OPERATIONS_PER_BATCH = 255  # operand pairs per iteration of an ExtendedOp benchmark


def run(binary, pattern):
    out = subprocess.run([binary, "--benchmark_filter=" + pattern,
                          "--benchmark_min_time=" + MIN_TIME, "--benchmark_format=json"],
                         stdout=subprocess.PIPE, check=True).stdout
    return {b["name"]: b["cpu_time"] for b in json.loads(out)["benchmarks"]}


def collect(samples, times):
    for name, value in times.items():
        samples.setdefault(name, []).append(value)


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    x87_bench, soft_bench = argv[1], argv[2]
    rounds = int(argv[3]) if len(argv) > 3 else 5
    x87, soft, ops = {}, {}, {}
    for _ in range(rounds):
        collect(x87, run(x87_bench, WHOLE_PROGRAM))
        collect(soft, run(soft_bench, WHOLE_PROGRAM))
        collect(ops, run(x87_bench, OPERATIONS))
    median = {name: statistics.median(v) for name, v in ops.items()}
    for name in sorted(median):
        if name.endswith("_soft"):
            base = name[: -len("_soft")]
            hard = median.get(base + "_x87")
            if hard:
                print(f"{base}: soft / x87 = {median[name] / hard:.2f}"
                      f"  ({median[name]:.1f} vs {hard:.1f} ns per {OPERATIONS_PER_BATCH} operations)")
    for name in sorted(x87):
        if name in soft:
            h, s = statistics.median(x87[name]), statistics.median(soft[name])
            print(f"{name}: soft / x87 = {s / h:.2f}  ({s:.1f} vs {h:.1f} ns)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
