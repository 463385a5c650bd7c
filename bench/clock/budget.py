#!/usr/bin/env python3
"""Idle cost of the running clock beside two yardsticks, on one Xvfb.

For the clock (default skins, 100 %, after its fade has settled), a minimal
Qt 6 frameless window repainting every 200 ms, and `xclock -update 1`:
CPU share of one core over a window of seconds, resident memory, and the
time from start to a mapped window. Usage: budget.py BUILD_DIR [SECONDS]
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

def cpu_seconds(pid):
    """CPU time of all the process's threads, to the nanosecond (schedstat),
    where the 10 ms clock ticks of /proc/PID/stat would be too coarse."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass
    return total / 1e9


def rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def window_shown(env, name):
    out = subprocess.run(["xwininfo", "-root", "-tree"], env=env, capture_output=True, text=True).stdout
    return any(f'"{name}"' in line for line in out.splitlines())


def measure(cmd, name, env, seconds, settle, cwd=None):
    start = time.monotonic()
    proc = subprocess.Popen(cmd, env=env, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    shown = None
    while time.monotonic() - start < 20:
        if window_shown(env, name):
            shown = time.monotonic() - start
            break
        time.sleep(0.005)
    time.sleep(settle)
    t0, c0 = time.monotonic(), cpu_seconds(proc.pid)
    time.sleep(seconds)
    t1, c1 = time.monotonic(), cpu_seconds(proc.pid)
    rss = rss_mb(proc.pid)
    proc.terminate()
    proc.wait(10)
    cpu = 100.0 * (c1 - c0) / (t1 - t0)
    return shown, cpu, rss


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 60.0
    work = tempfile.mkdtemp(prefix="zc-budget-")
    runtime = tempfile.mkdtemp(prefix="zc-runtime-")
    os.chmod(runtime, 0o700)
    folder = os.path.join(work, "ZindleClock")
    shutil.copytree(os.path.join(build, "ZindleClock"), folder)
    for f in ("ZindleClock.ini", "mask_fClock.bmp"):
        if os.path.exists(os.path.join(folder, f)):
            os.remove(os.path.join(folder, f))

    display = ":%d" % (90 + os.getpid() % 500)
    xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=display, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb",
               DBUS_SESSION_BUS_ADDRESS="disabled:", SDL_AUDIODRIVER="dummy")
    try:
        time.sleep(1.0)
        rows = [
            ("Zindle Clock", measure([os.path.join(folder, "ZindleClock")], "Zindle Clock", env, seconds, 15.0, folder)),
            ("minimal Qt window", measure([os.path.join(build, "bench", "clock", "minimal_window")],
                                          "Minimal Qt window", env, seconds, 1.0)),
            ("xclock -update 1", measure(["xclock", "-update", "1"], "xclock", env, seconds, 1.0)),
        ]
    finally:
        xvfb.terminate()
        xvfb.wait(10)
        shutil.rmtree(work, ignore_errors=True)
        shutil.rmtree(runtime, ignore_errors=True)
    print(f"{'program':<20} {'start to window':>16} {'CPU % of a core':>16} {'RSS MB':>8}")
    for name, (shown, cpu, rss) in rows:
        shown_text = f"{shown * 1000:.0f} ms" if shown is not None else "not shown"
        print(f"{name:<20} {shown_text:>16} {cpu:>16.3f} {rss:>8.1f}")


if __name__ == "__main__":
    main()
