#!/usr/bin/env python3
"""Idle cost of the running clock beside two yardsticks.

For the clock (default skins, 100 %, after its fade has settled), a minimal
Qt 6 frameless window repainting every 200 ms, and `xclock -update 1`, each
on an X server of its own (so that the server's work is that program's):
the time from start to the window's MapNotify, CPU share of one core of the
program and of its X server, wake-ups a second of the program's main thread
and of its other threads, and resident memory. Several rounds; min, median
and max of each, and the clock's medians as multiples of the others'.

Usage: budget.py BUILD_DIR [SECONDS] [ROUNDS]
"""
import os
import queue
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time


def threads(pid):
    try:
        return os.listdir(f"/proc/{pid}/task")
    except FileNotFoundError:
        return []


def cpu_seconds(pid):
    """CPU time of all the process's threads, to the nanosecond (schedstat),
    where the 10 ms clock ticks of /proc/PID/stat would be too coarse."""
    total = 0
    for task in threads(pid):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass
    return total / 1e9


def switches(pid):
    """Voluntary context switches per thread: each is a sleep the thread woke from."""
    out = {}
    for task in threads(pid):
        try:
            with open(f"/proc/{pid}/task/{task}/status") as f:
                for line in f:
                    if line.startswith("voluntary_ctxt_switches:"):
                        out[task] = int(line.split()[1])
        except (FileNotFoundError, ProcessLookupError):
            pass
    return out


def rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def start_xvfb():
    """An X server on a free display number, chosen by the server itself."""
    r, w = os.pipe()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(w)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(r, 16)
        if not chunk:
            raise RuntimeError("Xvfb did not start")
        number += chunk
    os.close(r)
    return proc, ":" + number.decode().strip()


def window_name(env, wid):
    out = subprocess.run(["xwininfo", "-id", wid], env=env, capture_output=True, text=True).stdout
    for line in out.splitlines():
        if "xwininfo: Window id:" in line:
            return line
    return ""


def measure(cmd, name, env, seconds, settle, cwd=None):
    """One round of one program on an X server of its own."""
    xvfb, display = start_xvfb()
    env = dict(env, DISPLAY=display)
    # xev on the root window reports the map of every top-level window (there
    # is no window manager to reparent it); it flushes after each event.
    watcher = subprocess.Popen(["xev", "-root", "-event", "substructure"], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True, bufsize=1)
    # Each line with the moment it came: a thread reads, so no line waits in a buffer.
    lines = queue.Queue()
    threading.Thread(target=lambda: [lines.put((time.monotonic(), l)) for l in watcher.stdout], daemon=True).start()
    proc = None
    try:
        # xev prints nothing until an event comes: give it time to select its events.
        time.sleep(0.5)
        start = time.monotonic()
        proc = subprocess.Popen(cmd, env=env, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shown = None
        mapped_at = None
        while shown is None and time.monotonic() - start < 20:
            try:
                at, line = lines.get(timeout=0.5)
            except queue.Empty:
                continue
            if line.startswith("MapNotify event"):
                mapped_at = at - start
                continue
            # "    event 0x..., window 0x..., override NO": the window mapped.
            match = re.search(r"window (0x[0-9a-f]+)", line) if mapped_at is not None else None
            if match and f'"{name}"' in window_name(env, match.group(1)):
                shown = mapped_at
            mapped_at = None
        time.sleep(settle)
        t0, c0, x0, s0 = time.monotonic(), cpu_seconds(proc.pid), cpu_seconds(xvfb.pid), switches(proc.pid)
        time.sleep(seconds)
        t1, c1, x1, s1 = time.monotonic(), cpu_seconds(proc.pid), cpu_seconds(xvfb.pid), switches(proc.pid)
        rss = rss_mb(proc.pid)
    finally:
        for p in (proc, watcher):
            if p:
                p.terminate()
                p.wait(10)
        xvfb.terminate()
        xvfb.wait(10)
    span = t1 - t0
    main = str(proc.pid)
    main_wakes = (s1.get(main, 0) - s0.get(main, 0)) / span
    other_wakes = sum(n - s0.get(t, 0) for t, n in s1.items() if t != main) / span
    return {
        "start ms": shown * 1000 if shown is not None else float("nan"),
        "CPU %": 100.0 * (c1 - c0) / span,
        "X CPU %": 100.0 * (x1 - x0) / span,
        "main wakes/s": main_wakes,
        "other wakes/s": other_wakes,
        "RSS MB": rss,
    }


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 60.0
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    work = tempfile.mkdtemp(prefix="zc-budget-")
    # A desktop session's runtime folder (/run/user/UID) is in memory: where
    # it is on a disk, the lock file's flush alone costs milliseconds.
    runtime = tempfile.mkdtemp(prefix="zc-runtime-", dir="/dev/shm" if os.path.isdir("/dev/shm") else None)
    os.chmod(runtime, 0o700)
    folder = os.path.join(work, "ZindleClock")
    shutil.copytree(os.path.join(build, "ZindleClock"), folder)
    env = dict(os.environ, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb", DBUS_SESSION_BUS_ADDRESS="disabled:",
               SDL_AUDIODRIVER="dummy")

    def fresh_clock():
        # Each round starts as a first start: default settings, no outline yet.
        for f in ("ZindleClock.ini", "mask_fClock.bmp"):
            if os.path.exists(os.path.join(folder, f)):
                os.remove(os.path.join(folder, f))
        return [os.path.join(folder, "ZindleClock")]

    programs = [
        # A minute after its fade: the second hand then turns as it does all
        # day, through angles it has been at before.
        ("Zindle Clock", lambda: fresh_clock(), "Zindle Clock", 70.0, folder),
        ("minimal Qt window", lambda: [os.path.join(build, "bench", "clock", "minimal_window")],
         "Minimal Qt window", 2.0, None),
        ("xclock -update 1", lambda: ["xclock", "-update", "1"], "xclock", 2.0, None),
    ]
    results = {p[0]: [] for p in programs}
    try:
        for r in range(rounds):
            for label, cmd, name, settle, cwd in programs:
                results[label].append(measure(cmd(), name, env, seconds, settle, cwd))
                print(f"round {r + 1} {label}: " + ", ".join(f"{k} {v:.3f}" for k, v in results[label][-1].items()),
                      file=sys.stderr, flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)
        shutil.rmtree(runtime, ignore_errors=True)

    keys = list(results[programs[0][0]][0].keys())
    print(f"{rounds} rounds of {seconds:.0f} s; min / median / max")
    print(f"{'program':<20}" + "".join(f"{k:>26}" for k in keys))
    medians = {}
    for label, rows in results.items():
        cells = []
        medians[label] = {}
        for k in keys:
            vals = [row[k] for row in rows]
            medians[label][k] = statistics.median(vals)
            cells.append(f"{min(vals):.3f} / {statistics.median(vals):.3f} / {max(vals):.3f}")
        print(f"{label:<20}" + "".join(f"{c:>26}" for c in cells))
    clock = medians["Zindle Clock"]
    for other in ("xclock -update 1", "minimal Qt window"):
        cells = []
        for k in keys:
            base = medians[other][k]
            cells.append(f"{clock[k] / base:.2f}x" if base else "-")
        print(f"{'clock / ' + other.split()[0]:<20}" + "".join(f"{c:>26}" for c in cells))


if __name__ == "__main__":
    main()
