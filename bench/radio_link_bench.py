#!/usr/bin/env python3
"""Full read and full write of the radio over a pseudo-terminal, against the wire.

Runs torvane-radiosim --pty --pace (the radio sends and takes bytes at its line speed) and
torvane-cli radio read / write on the pseudo-terminal, at 9600 baud (--low-speed) and at
38400 baud, and compares the wall time of each command with the wire-time bound:

    bound = bytes on the wire x 10 / baud  +  the waits the protocol prescribes

The bytes on the wire are those of every frame and single-byte answer in the simulator's
frame log (both directions, preambles included, each at the line speed it travelled at).
The prescribed waits are those of the serial line setup: each parenthesised line setting
of a wake-up script waits 300 ms before the port is reopened and 100 ms before the input is
flushed, and the final reopen at the exchange speed flushes once more (100 ms); a script
has three line settings, so each operation waits 1.3 s. A read is two operations
(information, read), a write three (information, information after the confirmation,
write). What is left over is the program's overhead: process start and overlay loading,
the 10 ms step of the clone driver, the pauses at every 128-byte acknowledgement of a
write, and saving the file after a read.

    bench/radio_link_bench.py [BUILD_FOLDER]      (default: build)
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

WAIT_PER_OPERATION_S = 3 * (0.300 + 0.100) + 0.100
OPERATIONS = {"read": 2, "write": 3}
LOG_LINE = re.compile(r"^\s*([\d.]+) (pc>radio|radio>pc)\s+(\d+)(?: \[(\d+) x FE\])?((?: [0-9A-F]{2})*)$")


def wire_seconds(log_path):
    total = 0.0
    count = 0
    with open(log_path) as log:
        for line in log:
            m = LOG_LINE.match(line.rstrip("\n"))
            if not m:
                continue
            baud = int(m.group(3))
            n = int(m.group(4) or 0) + len(m.group(5).split())
            total += n * 10 / baud
            count += n
    return total, count


def start_simulator(build, image, log, save):
    sim = subprocess.Popen(
        [os.path.join(build, "torvane-radiosim"), "--pty", "--pace", "--image", image, "--log", log, "--save", save],
        stdout=subprocess.PIPE, text=True)
    first = sim.stdout.readline().strip()
    if not first.startswith("pty "):
        sim.kill()
        raise SystemExit("torvane-radiosim did not start: " + first)
    return sim, first[4:]


def timed(command):
    began = time.monotonic()
    done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    took = time.monotonic() - began
    if done.returncode != 0:
        raise SystemExit(f"{' '.join(command)} failed ({done.returncode}): {done.stderr}")
    return took


def measure(build, cli, folder, image):
    rows = []
    for baud, speed in ((9600, ["--low-speed"]), (38400, [])):
        for op in ("read", "write"):
            log = os.path.join(folder, f"{op}-{baud}.log")
            sim, pty = start_simulator(build, image, log, os.path.join(folder, f"saved-{baud}.icf"))
            try:
                if op == "read":
                    command = [cli, "radio", "read", "--serial", pty, "-o", os.path.join(folder, "read.icf")]
                else:
                    command = [cli, "radio", "write", image, "--serial", pty, "--yes"]
                took = timed(command + speed)
            finally:
                sim.terminate()
                sim.wait()
            wire, count = wire_seconds(log)
            bound = wire + OPERATIONS[op] * WAIT_PER_OPERATION_S
            rows.append((op, baud, count, wire, bound, took))
    return rows


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    cli = os.path.join(build, "torvane-cli")
    folder = tempfile.mkdtemp(prefix="torvane-bench-")
    try:
        image = os.path.join(folder, "radio.icf")
        subprocess.run([cli, "new", image], check=True, stdout=subprocess.DEVNULL)
        # One programmed channel, so the write is not refused.
        subprocess.run([cli, "set", image, "CT_Mch.CL_Mch_FreqR[0]=150.0125", "-o", image], check=True,
                       stdout=subprocess.DEVNULL)
        start_up = timed([cli, "check", image])
        rows = measure(build, cli, folder, image)
    finally:
        shutil.rmtree(folder, ignore_errors=True)

    print(f"process start and overlay loading (torvane-cli check): {start_up:.2f} s")
    print(f"{'op':6} {'baud':>6} {'wire bytes':>10} {'wire s':>8} {'bound s':>8} {'wall s':>8} "
          f"{'overhead s':>10} {'overhead':>8}")
    for op, baud, count, wire, bound, took in rows:
        print(f"{op:6} {baud:6d} {count:10d} {wire:8.2f} {bound:8.2f} {took:8.2f} {took - bound:10.2f} "
              f"{100 * (took - bound) / bound:7.1f}%")


if __name__ == "__main__":
    main()
