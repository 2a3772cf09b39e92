#!/usr/bin/env python3
"""Writes examples/profile-line.csv: a synthetic line of 8 stations, 25 m
apart, over three layers (a 120 ohm-m cover 3 m thick, a 12 ohm-m clay
thickening from 6 to 20 m along the line, 600 ohm-m bedrock), each sounding
forward-modelled by `tavrin forward` at AB/2 1.5 to 150 m and given 3 %
log-normal noise from a fixed seed. The ground rises from 342 to 349 m.

    scripts/profile_example.py build/host/bin/tavrin > examples/profile-line.csv
"""
import math
import random
import subprocess
import sys


def main():
    tool = sys.argv[1]
    rng = random.Random(20261210)
    print("station,x (m),elevation (m),AB/2 (m),MN/2 (m),rho (Ohm m)")
    for s in range(8):
        x = 25 * s
        clay = 6 + 14 * s / 7
        elevation = 342 + s
        out = subprocess.run(
            [tool, "forward", "--rho", "120,12,600", "--thick", f"3,{clay:.4g}",
             "--units", "m", "--mn2", "0.5", "--ab2", "1.5:150:8"],
            check=True, capture_output=True, text=True).stdout
        for line in out.splitlines()[1:]:
            ab2, rho = (float(v) for v in line.split(","))
            noisy = rho * math.exp(math.log1p(0.03) * rng.gauss(0, 1))
            print(f"VES-{s + 1},{x},{elevation},{ab2:.4g},0.5,{noisy:.4g}")


if __name__ == "__main__":
    main()
