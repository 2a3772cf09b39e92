#!/usr/bin/env python3
"""Times `tavrin batch` as a whole process against the same job written in C
(bench/batch_baseline.c, built here with -O2), on a generated survey.

The two programs run alternately on the same file, output to /dev/null; the
medians of their wall and CPU (user + system) times give the ratio ours / C,
printed against the 0.8x target. Then the peak resident size of `tavrin batch`
on the survey and on a much longer one shows whether memory stays flat.

  bench/batch_compare.py --tavrin build/host/bin/tavrin [--runs 7]
      [--readings 300000] [--long-readings 10000000]
"""
import argparse
import os
import random
import statistics
import subprocess
import sys
import time

TARGET_RATIO = 0.8
SPACINGS = (5, 10, 25, 50, 100, 200)
SEED = 20261209


def write_survey(path, readings):
    """n 1..12, a from SPACINGS, v and i with 3 or 4 decimals; a header."""
    rng = random.Random(SEED)
    chunk = []
    with open(path, "w") as out:
        out.write("n,a,v,i\n")
        for _ in range(readings):
            n = rng.randint(1, 12)
            a = rng.choice(SPACINGS)
            v = rng.uniform(0.001, 20.0)
            i = rng.uniform(0.01, 2.0)
            chunk.append(f"{n},{a},{v:.{rng.randint(3, 4)}f},{i:.{rng.randint(3, 4)}f}\n")
            if len(chunk) == 100000:
                out.write("".join(chunk))
                chunk.clear()
        out.write("".join(chunk))


def peak_rss(command):
    """Peak resident KiB of one run, as /usr/bin/time reports it (the rusage
    of a child forked by this script would count this script's own pages)."""
    report = os.path.join(os.path.dirname(command[-1]), "peak_rss.txt")
    run(["/usr/bin/time", "-f", "%M", "-o", report] + command)
    with open(report) as source:
        return int(source.read().split()[-1])


def run(command):
    """Wall seconds and CPU seconds of one run."""
    with open(os.devnull, "wb") as sink:
        start = time.perf_counter()
        process = subprocess.Popen(command, stdout=sink, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(process.pid, 0)
        wall = time.perf_counter() - start
        stderr = process.stderr.read()
        process.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{command[0]} failed: {stderr.decode(errors='replace')}")
    return wall, usage.ru_utime + usage.ru_stime


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("--tavrin", default=os.path.join(here, "..", "build", "host", "bin", "tavrin"))
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--readings", type=int, default=300000)
    parser.add_argument("--long-readings", type=int, default=10000000,
                        help="readings of the memory run; 0 skips it")
    parser.add_argument("--workdir", default="/tmp/tavrin-batch-bench")
    args = parser.parse_args()
    os.makedirs(args.workdir, exist_ok=True)

    baseline = os.path.join(args.workdir, "batch_baseline")
    subprocess.run(["cc", "-O2", "-o", baseline, os.path.join(here, "batch_baseline.c")], check=True)
    survey = os.path.join(args.workdir, f"survey_{args.readings}.csv")
    if not os.path.exists(survey):
        write_survey(survey, args.readings)

    ours_cmd = [args.tavrin, "batch", survey]
    c_cmd = [baseline, survey]
    run(ours_cmd)  # warm the page cache and the binaries
    run(c_cmd)
    ours, c = [], []
    for _ in range(args.runs):
        ours.append(run(ours_cmd))
        c.append(run(c_cmd))

    def median(samples, k):
        return statistics.median(s[k] for s in samples)

    print(f"survey: {args.readings} readings, {args.runs} alternating runs each, medians")
    for label, k in (("wall", 0), ("cpu", 1)):
        o, b = median(ours, k), median(c, k)
        verdict = "meets" if o / b <= TARGET_RATIO else "misses"
        print(f"  {label}: tavrin batch {o * 1000:.1f} ms, C {b * 1000:.1f} ms, "
              f"ratio {o / b:.2f} ({verdict} the {TARGET_RATIO}x target)")
    ours_rss = peak_rss(ours_cmd)
    print(f"  peak RSS: tavrin batch {ours_rss} KiB, C {peak_rss(c_cmd)} KiB")

    if args.long_readings > 0:
        long_survey = os.path.join(args.workdir, f"survey_{args.long_readings}.csv")
        if not os.path.exists(long_survey):
            write_survey(long_survey, args.long_readings)
        long_rss = peak_rss([args.tavrin, "batch", long_survey])
        print(f"  peak RSS of {args.long_readings} readings: {long_rss} KiB "
              f"({long_rss / ours_rss:.2f}x the {args.readings}-reading run)")
    print(f"  load: {os.getloadavg()[0]:.2f} {os.getloadavg()[1]:.2f} {os.getloadavg()[2]:.2f}")


if __name__ == "__main__":
    main()
