#!/usr/bin/env python3
"""Times ZernAsm, gpasm and avra on generated sources in one run.

Each tool runs BENCH_RUNS times (default 7) per size; the best run counts,
both in wall time and in processor time (user + system of the child), which
a busy machine disturbs less. Prints lines per second and ZernAsm's ratios.
"""
import os
import subprocess
import sys
import tempfile
import time

import generate


def best_times(command, folder, runs):
    best_wall, best_cpu = None, None
    for _ in range(runs):
        start = time.perf_counter()
        child = subprocess.Popen(command, cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.perf_counter() - start
        child.returncode = os.waitstatus_to_exitcode(status)
        if child.returncode != 0:
            sys.exit(f"failed ({child.returncode}): {' '.join(command)}")
        cpu = usage.ru_utime + usage.ru_stime
        best_wall = wall if best_wall is None else min(best_wall, wall)
        best_cpu = cpu if best_cpu is None else min(best_cpu, cpu)
    return best_wall, best_cpu


def main():
    zernasm = sys.argv[1]
    runs = int(os.environ.get("BENCH_RUNS", "7"))
    print(f"{'lines':>7}  {'tool':<24}{'lines/s (wall)':>16}{'lines/s (cpu)':>16}{'wall ms':>10}")
    with tempfile.TemporaryDirectory() as folder:
        for lines in (10000, 100000):
            for tool in ("zernasm", "gpasm", "avra"):
                with open(os.path.join(folder, f"{tool}{lines}.asm"), "w") as out:
                    out.write(generate.generate(tool, lines))
            tools = [
                ("ZernAsm -q -l", [zernasm, "-q", "-l", f"zernasm{lines}.asm"]),
                ("ZernAsm -q", [zernasm, "-q", f"zernasm{lines}.asm"]),
                ("gpasm", ["gpasm", "-q", f"gpasm{lines}.asm"]),
                ("avra -l", ["avra", "-l", f"avra{lines}.lst", f"avra{lines}.asm"]),
            ]
            rates = {}
            for name, command in tools:
                wall, cpu = best_times(command, folder, runs)
                rates[name] = (lines / wall, lines / cpu if cpu > 0 else float("inf"))
                print(f"{lines:>7}  {name:<24}{rates[name][0]:>16.0f}{rates[name][1]:>16.0f}{wall * 1000:>10.1f}")
            z = rates["ZernAsm -q -l"]
            for peer in ("gpasm", "avra -l"):
                p = rates[peer]
                print(f"{lines:>7}  ZernAsm -q -l vs {peer:<8} {z[0] / p[0]:>6.2f}x per line (wall), "
                      f"{z[1] / p[1]:.2f}x (cpu)")


if __name__ == "__main__":
    main()
