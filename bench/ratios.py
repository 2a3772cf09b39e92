#!/usr/bin/env python3
"""Reads tavrin_bench's JSON output (--benchmark_out=FILE) and prints the CPU
time of each of our benchmarks divided by each baseline of the same group
(below 1: ours is faster) and whether that meets the group's target.
Benchmarks are named Group_Case_Implementation; the implementation "Ours" is
ours, every other one a baseline. With repetitions the medians are used.

  tavrin_bench --benchmark_min_time=0.2 --benchmark_repetitions=7 \
      --benchmark_enable_random_interleaving=true \
      --benchmark_out=bench.json && bench/ratios.py bench.json
"""
import json
import sys

# The targets: (group, baseline) -> the largest ratio ours / baseline.
TARGETS = {
    ("FormatNumber_Mask", "to_chars"): 1.0,
    ("FormatNumber_Fixed2", "to_chars"): 1.0,
    ("FormatNumber_Grouped2", "to_chars"): 1.0,
    ("TextToNumber_Short", "from_chars"): 0.8,
    ("TextToNumber_Long17", "from_chars"): 0.8,
    ("DecimalDigits_17", "to_chars"): 0.5,
    ("DecimalDigits_18", "to_chars"): 0.5,
    ("Calc", "libc"): 0.35,
    ("CalculatorWindow_BuildDestroy", "Win32"): 1.2,
}

# Baseline implementations whose names hold an underscore.
MULTI_WORD_IMPLEMENTATIONS = ("from_chars", "to_chars")


def split_name(name):
    for impl in MULTI_WORD_IMPLEMENTATIONS:
        if name.endswith("_" + impl):
            return name[: -len(impl) - 1], impl
    group, _, impl = name.rpartition("_")
    return group, impl


def main():
    with open(sys.argv[1]) if len(sys.argv) > 1 else sys.stdin as source:
        runs = json.load(source)["benchmarks"]
    medians = [r for r in runs if r.get("aggregate_name") == "median"]
    chosen = medians or [r for r in runs if r.get("run_type", "iteration") == "iteration"]
    times = {}
    for run in chosen:
        group, impl = split_name(run["run_name"])
        times.setdefault(group, {})[impl] = run["cpu_time"]
    for group, impls in times.items():
        ours = impls.get("Ours")
        if ours is None:
            continue
        for impl, baseline in impls.items():
            if impl != "Ours":
                ratio = ours / baseline
                target = TARGETS.get((group, impl))
                verdict = "" if target is None else (
                    f"  target {target}: {'met' if ratio <= target else 'MISSED'}")
                print(f"{group}: ours / {impl} = {ratio:.2f}"
                      f"  ({ours:.1f} vs {baseline:.1f} ns per batch){verdict}")


if __name__ == "__main__":
    main()
