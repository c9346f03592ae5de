#!/usr/bin/env python3
"""Times ZernAsm, gpasm, avra and GNU as on generated sources in one run.

Usage: bench.py ZERNASM [BEFORE]

Each tool runs BENCH_RUNS times (default 7) per size, the tools taking turns
so that a busy machine slows them alike; the best and the median run are
reported, in wall time, and the best in processor time (user + system of the
child). Prints lines per second and ZernAsm's ratios: its speed against gpasm
and avra, and its time per line against GNU as on an x86 source of the same
mix and line count, without and with a listing.

With BEFORE, a ZernAsm built from an earlier revision, the listing and HEX
files of both builds are compared for every benchmark source (the listing's
build stamp and local time lines aside), and the run fails when they differ.
BENCH_HOSTILE=1 also times the hostile sources of the hardening work.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

import generate

SIZES = (10000, 100000)


def timed_run(command, folder):
    start = time.perf_counter()
    child = subprocess.Popen(command, cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        sys.exit(f"failed ({code}): {' '.join(command)}")
    return wall, usage.ru_utime + usage.ru_stime


def measure(tools, folder, runs):
    """Runs the tools in turns; returns {name: (best wall, median wall, best cpu)}."""
    walls = {name: [] for name, _ in tools}
    cpus = {name: [] for name, _ in tools}
    for _ in range(runs):
        for name, command in tools:
            wall, cpu = timed_run(command, folder)
            walls[name].append(wall)
            cpus[name].append(cpu)
    return {name: (min(walls[name]), statistics.median(walls[name]), min(cpus[name])) for name, _ in tools}


def write_sources(folder, lines):
    for tool in ("zernasm", "gpasm", "avra", "gas"):
        with open(os.path.join(folder, f"{tool}{lines}.asm"), "w") as out:
            out.write(generate.generate(tool, lines))


def speed_table(zernasm, folder, runs):
    print(f"{'lines':>7}  {'tool':<16}{'lines/s best':>14}{'lines/s median':>16}{'lines/s cpu':>13}"
          f"{'best ms':>9}{'median ms':>11}")
    for lines in SIZES:
        write_sources(folder, lines)
        tools = [
            ("ZernAsm -q -l", [zernasm, "-q", "-l", f"zernasm{lines}.asm"]),
            ("ZernAsm -q", [zernasm, "-q", f"zernasm{lines}.asm"]),
            ("gpasm", ["gpasm", "-q", f"gpasm{lines}.asm"]),
            ("avra -l", ["avra", "-l", f"avra{lines}.lst", f"avra{lines}.asm"]),
            ("as", ["as", "-o", f"gas{lines}.o", f"gas{lines}.asm"]),
            ("as -al", ["as", f"-al=gas{lines}.lst", "-o", f"gas{lines}.o", f"gas{lines}.asm"]),
        ]
        times = measure(tools, folder, runs)
        for name, _ in tools:
            best, median, cpu = times[name]
            print(f"{lines:>7}  {name:<16}{lines / best:>14.0f}{lines / median:>16.0f}"
                  f"{lines / cpu if cpu > 0 else float('inf'):>13.0f}{best * 1000:>9.1f}{median * 1000:>11.1f}")
        for zern, peer in (("ZernAsm -q -l", "gpasm"), ("ZernAsm -q -l", "avra -l")):
            z, p = times[zern], times[peer]
            print(f"{lines:>7}  {zern} is {p[0] / z[0]:.2f}x as fast as {peer} (best), {p[1] / z[1]:.2f}x (median)")
        for zern, peer in (("ZernAsm -q", "as"), ("ZernAsm -q -l", "as -al")):
            z, p = times[zern], times[peer]
            print(f"{lines:>7}  {zern} takes {z[0] / p[0]:.2f}x the time per line of {peer} (best), "
                  f"{z[1] / p[1]:.2f}x (median)")


def comparable(text, listing):
    """A listing without its build stamp (line 4) and local time (line 7)."""
    if not listing:
        return text
    lines = text.split(b"\n")
    return b"\n".join(line for index, line in enumerate(lines) if index not in (3, 6))


def compare_outputs(zernasm, before, folder):
    """Assembles every benchmark source with both builds; True when the outputs agree."""
    same = True
    for lines in SIZES:
        write_sources(folder, lines)
        outputs = {}
        for label, program in (("after", zernasm), ("before", before)):
            run_folder = os.path.join(folder, label)
            os.makedirs(run_folder, exist_ok=True)
            source = os.path.join(folder, f"zernasm{lines}.asm")
            timed_run([program, "-q", "-l", source], run_folder)
            outputs[label] = {}
            for suffix in (".hex", ".lst"):
                with open(os.path.join(run_folder, f"zernasm{lines}{suffix}"), "rb") as stream:
                    outputs[label][suffix] = comparable(stream.read(), suffix == ".lst")
        for suffix in (".hex", ".lst"):
            agree = outputs["after"][suffix] == outputs["before"][suffix]
            same = same and agree
            size = len(outputs["after"][suffix])
            print(f"{lines:>7}  zernasm{lines}{suffix}: {'identical' if agree else 'DIFFERENT'} ({size} bytes)")
    return same


def hostile_times(zernasm, folder):
    """Wall time of one run of each hostile source (ZernAsm only)."""
    sources = {
        "1,000,000 labels": ("".join(f"L{i}: NOP\n" for i in range(1000000)) + " END\n", []),
        "60,000 forward jumps": (" JUMP far\n" * 60000 + "far: NOP\n END\n", ["-w32"]),
        "10 MB comment line": (";" + "x" * 10000000 + "\n END\n", []),
        "10 MB constant line": (" DW 1" + "+1" * 5000000 + "\n END\n", ["-l"]),
    }
    for name, (text, options) in sources.items():
        path = os.path.join(folder, "hostile.asm")
        with open(path, "w") as out:
            out.write(text)
        wall, _ = timed_run([zernasm, "-q", *options, "hostile.asm"], folder)
        print(f"hostile  {name:<22}{wall:>8.2f} s")


def main():
    zernasm = sys.argv[1]
    before = sys.argv[2] if len(sys.argv) > 2 else None
    runs = int(os.environ.get("BENCH_RUNS", "7"))
    with tempfile.TemporaryDirectory() as folder:
        speed_table(zernasm, folder, runs)
        if os.environ.get("BENCH_HOSTILE") == "1":
            hostile_times(zernasm, folder)
        if before and not compare_outputs(zernasm, before, folder):
            sys.exit("the outputs differ from the earlier build's")


if __name__ == "__main__":
    main()
