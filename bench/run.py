#!/usr/bin/env python3
"""Runs every benchmark of the GPIO table and prints one table of the figures against their
floors; writes the same as JSON. Started by scripts/bench.sh on a private virtual display, with
the build's benchmark prefix set up (VELMORA_WINEPREFIX)."""

import argparse
import datetime
import json
import os
import platform
import re
import statistics
import subprocess
import sys
import time

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MODULE = "tegra3-belvan"
COLUMNS = ["g_ColAltFn", "g_ColDir", "g_ColLevel", "g_ColEdgeDet", "g_ColEdgeStat", "g_ColPin",
           "g_ColEvalLoc", "g_ColEvalFnName", "g_ColTristate", "g_ColGroupName",
           "g_ColPullState", "g_ColEdges", "g_ColActivity"]


def say(text):
    print(text, file=sys.stderr, flush=True)


class Bench:
    def __init__(self, build, prefix):
        self.build = build
        self.prefix = prefix
        self.run = os.path.join(build, "wine-run")
        self.failures = []
        self.curve = []
        self.env = dict(os.environ, VELMORA_WINEPREFIX=prefix, VELMORA_TEST_BIN=build,
                        VELMORA_TEST_SRC=SOURCE)

    def wine_env(self, **extra):
        env = dict(self.env, WINEPREFIX=self.prefix, WINEDEBUG="-all")
        env.update(extra)
        return env

    def launcher(self, *arguments, **kwargs):
        return subprocess.run([self.run, *arguments], env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, **kwargs)

    # The prefix: windows drawn by Wine itself (no window manager on the virtual display), and
    # every list column the processor allows shown by the tool.
    def prepare(self):
        self.launcher("--prepare")
        marker = os.path.join(self.prefix, ".velmora-bench")
        if not os.path.exists(marker):
            self.launcher("reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed",
                          "/d", "N", "/f")
            open(marker, "w").close()
        regfile = os.path.join(self.build, "bench", "columns.reg")
        with open(regfile, "w") as f:
            f.write("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Velmora\\GpioConfig]\n")
            for name in COLUMNS:
                f.write('"%s"=dword:00000001\n' % name)
        self.launcher("reg", "import", "Z:" + regfile.replace("/", "\\"))

    # A window held for the whole run keeps Wine's desktop process running, so that no start
    # pays for starting it.
    def hold(self):
        log = os.path.join(self.build, "bench", "hold.log")
        out = open(log, "w")
        self.holder = subprocess.Popen([self.run, os.path.join(self.build, "windowctl.exe"),
                                        "hold"], env=self.env, stdin=subprocess.DEVNULL,
                                       stdout=out, stderr=subprocess.STDOUT)
        for _ in range(600):
            if "holding" in open(log).read():
                return
            time.sleep(0.1)

    def release(self):
        self.holder.terminate()
        self.holder.wait()

    # One benchmark program's test: its result lines; a harness failure is reported.
    def program(self, exe, test, **settings):
        env = dict(self.env)
        server = wineserver_of(self.prefix)
        if server:
            env["VELMORA_BENCH_WINESERVER"] = str(server)
        for name, value in settings.items():
            env["VELMORA_BENCH_" + name] = str(value)
        path = os.path.join(self.build, "bench", exe)
        done = subprocess.run([self.run, path, "--gtest_filter=" + test], env=env,
                              stdin=subprocess.DEVNULL, capture_output=True, text=True)
        results = [json.loads(line[len("RESULT "):]) for line in done.stdout.splitlines()
                   if line.startswith("RESULT ")]
        self.curve += [json.loads(line[len("CURVE "):]) for line in done.stdout.splitlines()
                       if line.startswith("CURVE ")]
        if any(line.startswith("CURVE ") for line in done.stdout.splitlines()):
            results = results or [None]
        if done.returncode != 0 or not results:
            lines = [line for line in done.stdout.splitlines()
                     if "Failure" in line or "Which is" in line or line.startswith("/")]
            self.failures.append("%s %s: %s" % (exe, test, " | ".join(lines[-6:]) or
                                               done.stderr.strip()[-300:] or "no result"))
            say("  failed: " + self.failures[-1])
        return results


# ---- Figure 1: idle cost, measured from outside through /proc ----

def cpu_seconds(pid):
    """CPU time of every thread of a Linux process so far, in seconds."""
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as f:
                total += int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass
    return total / 1e9


def wineserver_of(prefix):
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open("/proc/%s/comm" % name) as f:
                if not f.read().startswith("wineserver"):
                    continue
            with open("/proc/%s/environ" % name, "rb") as f:
                if ("WINEPREFIX=" + prefix).encode() in f.read().split(b"\0"):
                    return int(name)
        except OSError:
            continue
    return None


def measure_windows(pid, server, windows, seconds):
    """CPU of a process (None: none) and of the wineserver over consecutive windows, each as a
    percentage of one core."""
    shares = []
    for _ in range(windows):
        start = time.monotonic()
        own0 = cpu_seconds(pid) if pid else 0
        server0 = cpu_seconds(server)
        time.sleep(seconds)
        own1 = cpu_seconds(pid) if pid else 0
        server1 = cpu_seconds(server)
        elapsed = time.monotonic() - start
        shares.append((100 * (own1 - own0) / elapsed, 100 * (server1 - server0) / elapsed))
    return shares


def idle_windows(bench, program, windows, seconds):
    """Starts a program with nothing changing, lets it settle, measures it, ends it."""
    env = bench.wine_env(VELMORA_SIM_MODULE=MODULE, VELMORA_SIM_STIMULUS="off",
                         VELMORA_SIM_INSTANCE="benchidle")
    process = subprocess.Popen(["wine", program], env=env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(5)
        server = wineserver_of(bench.prefix)
        if process.poll() is not None or server is None:
            say("  %s did not keep running" % os.path.basename(program))
            return []
        return measure_windows(process.pid, server, windows, seconds)
    finally:
        process.terminate()
        try:
            process.wait(10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def figure_1(bench, seconds):
    """The tool's CPU and its share of the wineserver: what the server spends beyond what it
    spends with no program of ours running (Wine's own background processes keep it busy a
    little)."""
    tool = os.path.join(bench.build, "gpioconfig.exe")
    bare = os.path.join(bench.build, "bench", "bare_dialog.exe")
    say("1   idle cost at 5 Hz: the prefix alone, the tool, the bare dialog (%d s in all)" %
        (3 * max(1, seconds // 2) + 3 * seconds + 3 * max(1, seconds // 3) + 10))
    server = wineserver_of(bench.prefix)
    baseline = statistics.median(
        s for _, s in measure_windows(None, server, 3, max(1, seconds // 2)))
    tool_windows = idle_windows(bench, tool, 3, seconds)
    bare_windows = idle_windows(bench, bare, 3, max(1, seconds // 3))

    def shares(windows):
        return [own + max(0.0, s - baseline) for own, s in windows]

    def median(values):
        return statistics.median(values) if values else float("nan")

    note = ("over %d s, from /proc: the tool %.3f %%, the wineserver %.3f %% less %.3f %% with "
            "no program; floor: the bare dialog, idle" %
            (seconds, median([o for o, _ in tool_windows]),
             median([s for _, s in tool_windows]), baseline))
    return [{"id": "1", "name": "idle cost at 5 Hz (tool + its wineserver share)", "unit": "%",
             "runs": shares(tool_windows), "floor_runs": shares(bare_windows),
             "goal": "value<=0.5", "note": note}]


# ---- The table ----

def number(value, unit):
    if value is None:
        return "-"
    if unit in ("messages", "handles", "passes"):
        return "%d" % round(value)
    if unit == "KiB":
        return "%.0f" % value
    magnitude = abs(value)
    if magnitude >= 100:
        return "%.0f" % value
    if magnitude >= 10:
        return "%.1f" % value
    if magnitude >= 1:
        return "%.2f" % value
    return "%.3f" % value


def judge(figure):
    runs, floors = figure["runs"], figure["floor_runs"]
    unit = figure["unit"]
    kind, limit = re.match(r"(ratio|value|growth)<=(.*)", figure["goal"]).groups()
    limit = float(limit)
    row = dict(figure)
    row["measured"] = statistics.median(runs) if runs else None
    row["spread"] = [min(runs), max(runs)] if runs else None
    row["floor"] = statistics.median(floors) if floors else None
    row["ratio"] = (row["measured"] / row["floor"]
                    if runs and floors and row["floor"] else None)
    if kind == "ratio":
        row["goal_text"] = "<= %g x floor" % limit
        value = row["ratio"]
    elif kind == "growth":
        row["goal_text"] = "growth <= %g %s" % (limit, unit)
        value = row["measured"] - row["floor"] if runs and floors else None
    else:
        row["goal_text"] = ("%g %s" % (limit, unit) if limit == 0
                            else "<= %g %s" % (limit, unit))
        value = row["measured"]
    row["met"] = None if value is None else value <= limit + 1e-12
    row["measured_text"] = ("%s %s (%s-%s)" % (number(row["measured"], unit), unit,
                                              number(row["spread"][0], unit),
                                              number(row["spread"][1], unit))
                            if runs else "not run" if "not run" in figure["note"]
                            else "not measured")
    row["floor_text"] = "%s %s" % (number(row["floor"], unit), unit) if floors else "-"
    row["ratio_text"] = "%.2f x" % row["ratio"] if row["ratio"] is not None else "-"
    row["result"] = {True: "met", False: "MISSED", None: "-"}[row["met"]]
    return row


def table(rows):
    headers = ["", "figure", "measured: median (min-max)", "floor", "ratio", "goal", ""]
    cells = [[r["id"], r["name"], r["measured_text"], r["floor_text"], r["ratio_text"],
              r["goal_text"], r["result"]] for r in rows]
    widths = [max(len(str(c[i])) for c in cells + [headers]) for i in range(len(headers))]
    lines = ["  ".join(str(c[i]).ljust(widths[i]) for i in range(len(headers))).rstrip()
             for c in [headers] + cells]
    lines.insert(1, "  ".join("-" * w for w in widths))
    return "\n".join(lines)


def machine():
    model = ""
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as f:
        memory = int(f.readline().split()[1]) // 1024
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    return {"cpu": model, "cores": os.cpu_count(), "memory_mib": memory,
            "kernel": platform.release(), "wine": wine,
            "load_average": [round(x, 2) for x in os.getloadavg()]}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--soak", action="store_true",
                        help="also the 10-minute memory soak at 2000 Hz")
    parser.add_argument("--soak-seconds", type=int, default=600)
    parser.add_argument("--idle-seconds", type=int, default=30)
    arguments = parser.parse_args()

    build = os.path.abspath(arguments.build)
    bench = Bench(build, os.environ["VELMORA_WINEPREFIX"])
    started = datetime.datetime.now().astimezone()
    host = machine()
    say("Preparing the benchmark prefix...")
    bench.prepare()
    bench.hold()
    figures = []
    try:
        figures += figure_1(bench, arguments.idle_seconds)
        steps = [
            ("1m  idle while minimised", "table_bench.exe", "Minimised.IdleCost", {}),
            ("2   unchanged pass", "table_bench.exe", "TableBench.UnchangedPass", {}),
            ("3   full build", "table_bench.exe", "TableBench.FullBuild", {"RUNS": 15}),
            ("4   sort by each column", "table_bench.exe", "TableBench.Sort", {"RUNS": 15}),
            ("5   change to cell at 5 Hz", "table_bench.exe", "ChangeToCell.At5Hz", {}),
            ("5   change to cell at 100 Hz", "table_bench.exe", "ChangeToCell.At100Hz", {}),
            ("6   responsiveness at 2000 Hz", "tool_bench.exe", "ToolBench.Responsiveness", {}),
            ("7   start-up", "tool_bench.exe", "ToolBench.StartUp", {"RUNS": 11}),
            ("9a  find: keystroke", "table_bench.exe", "Find.Keystroke", {}),
            ("9b  resize step", "table_bench.exe", "Resize.Step", {}),
            ("10  settings files", "files_bench.exe", "FilesBench.ExportImportCompare",
             {"RUNS": 21}),
            ("11  edges at 1000 Hz", "table_bench.exe", "ActivityBench.EdgesAt1000Hz", {}),
            ("12  cost curve of the rates", "table_bench.exe", "ActivityBench.CostCurve", {}),
        ]
        if arguments.soak:
            steps.append(("8   memory over a %d s soak" % arguments.soak_seconds,
                          "tool_bench.exe", "ToolBench.Memory",
                          {"SOAK_SECONDS": arguments.soak_seconds}))
        for title, exe, test, settings in steps:
            say(title)
            results = bench.program(exe, test, **settings)
            if not results:
                figures.append({"id": title.split()[0], "name": title.split(None, 1)[1],
                                "unit": "", "runs": [], "floor_runs": [], "goal": "value<=0",
                                "note": "not measured: the benchmark failed (see above)"})
            figures += [r for r in results if r]
    finally:
        bench.release()
    if not arguments.soak:
        for id_, name, unit, goal in (
                ("8a", "private memory after the soak", "KiB", "growth<=1024"),
                ("8b", "handles after the soak", "handles", "growth<=2")):
            figures.append({"id": id_, "name": name, "unit": unit, "runs": [], "floor_runs": [],
                            "goal": goal, "note": "not run: scripts/bench.sh --soak"})

    # In the order of the figures' numbers, whatever order they ran in.
    figures.sort(key=lambda f: int(re.match(r"\d+", f["id"]).group()))
    rows = [judge(f) for f in figures]
    host["load_average_after"] = [round(x, 2) for x in os.getloadavg()]
    print()
    print("Tegra 3 Belvan module, every column; %s, %d cores, %s; load %s before, %s after" %
          (host["cpu"], host["cores"], host["wine"],
           " ".join(map(str, host["load_average"])),
           " ".join(map(str, host["load_average_after"]))))
    print()
    print(table(rows))
    print()
    previous = None
    for r in rows:
        if r["note"] != previous:
            print("%-4s %s" % (r["id"], r["note"]))
        previous = r["note"]
    if bench.curve:
        print("12   the cost curve: CPU of the table's process and the Wine server, % of a core, "
              "3 s at each rate")
        print("     (inputs toggling every 10 ms; \"all\": every GPIO made a plain input; floor: bare")
        print("     reads with the same waits, nothing toggling)")
        print()
        print("     rate     none toggling  ten toggling  all %3d toggling  floor" %
              bench.curve[0]["inputs"])
        for c in bench.curve:
            print("     %4d Hz  %13.2f  %12.2f  %16.2f  %5.2f" %
                  (c["rate"], c["none"], c["ten"], c["every"], c["floor"]))
        print()
    out = os.path.join(build, "bench", "results.json")
    keep = ["id", "name", "unit", "measured", "spread", "floor", "ratio", "goal", "goal_text",
            "met", "runs", "floor_runs", "note"]
    with open(out, "w") as f:
        json.dump({"date": started.isoformat(timespec="seconds"), "machine": host,
                   "module": MODULE, "figures": [{k: r[k] for k in keep} for r in rows],
                   "cost_curve": bench.curve},
                  f, indent=2)
    print()
    print("Results as JSON: %s" % out)
    for failure in bench.failures:
        print("A benchmark failed: " + failure)
    return 2 if bench.failures else 0


if __name__ == "__main__":
    sys.exit(main())
