#!/usr/bin/python3
"""Kills and stops of Houndly while it alarms.

  bench/kills_and_stops.py kills [CYCLES [WORKERS [HOUNDLY]]]   defaults: 200 2 build/release/app/houndly
  bench/kills_and_stops.py stops [REPEATS [HOUNDLY]]            defaults: 5

Kills during alarms: starts headless Houndly on the demo camera (an intruder
every 5 s), recording 5 s clips and uploading them to a loopback FTP server
(pyftpdlib; every third cycle a server that never answers, so kills also land
in a waiting client), background uploads on every other cycle, and SIGKILLs it
at a random moment of an alarm (or, one cycle in five, of its start). After
each kill it counts what the kill left, and at the next start what that start
did not tidy:

  half clips      files under a clip's name (YYMMDDhhmmss_ALERT[_n].AVI or
                  ALERT.AVI) that are not whole AVI files (RIFF size and index)
  scripts         FTP_PUT.txt, with its password, just after the kill
  orphan clients  houndly-ftp of this run still alive 1 s after the kill
  temporaries     NAME.XXXXXX files just after the kill / after the next start
  not uploaded    whole clips that never reached the server, after a last start
                  that only sends what the kills cut (nothing alarms then)

Each worker has its own application folder; the figures are summed.

Stops: SIGTERM with background uploads on, in each state (idle; recording;
uploading to an FTP server that never answers; mailing to an SMTP server that
never answers the end of the message), REPEATS times each; prints the time
from the signal to the exit (min, median, max), and what was left: a script,
a client still running, an exit status other than 0.
"""
import os
import random
import re
import select
import signal
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SERVERS = os.path.join(ROOT, "tests", "support", "servers")
HOUNDLY = os.path.join(ROOT, "build", "release", "app", "houndly")
USER, PASSWORD = "hound", "bark twice"
CLIP = re.compile(r"^(\d{12}_ALERT(_\d+)?|ALERT)\.AVI$")
TEMPORARY = re.compile(r"\.[A-Za-z0-9]{6}$")


def start_server(script, *arguments):
    server = subprocess.Popen(["/usr/bin/python3", os.path.join(SERVERS, script), *arguments],
                              stdout=subprocess.PIPE, text=True)
    return server, int(server.stdout.readline())


def settings(port, background, alarm_count=10, smtp_port=0):
    shifted = "".join(chr(ord(c) - 1) for c in PASSWORD)  # stored one code lower
    mail = (f"[MAIL]\nMAIL=guard@example.org\nSMTP=127.0.0.1\t{smtp_port}\nATT=0\nOPTATT=0\nAtCRAM=0\n"
            "[0TRG]\nENABLED=True\nMAILTO=owner@example.net\nSUBJECT=alarm\nGRP=0\n") if smtp_port else ""
    return (f"[COM]\nTIMER=5\nCKSUM={alarm_count}\nACCURACY=1\n{mail}[FTP]\nMOVE=True\nFTP=True\n"
            f"HOST=127.0.0.1 {port}\nUSER={USER}\nPASS={shifted}\nFILENAME=False\nTIME=5\n[EXT]\nBGUPLOAD={background}\n")


def is_whole_avi(path):
    with open(path, "rb") as clip:
        data = clip.read()
    return (len(data) > 12 and data[:4] == b"RIFF" and int.from_bytes(data[4:8], "little") + 8 == len(data)
            and b"idx1" in data[-(1 << 20):])


def identity(path):
    status = os.stat(path)
    return status.st_ino, status.st_mtime_ns


def files_in(home):
    found = []
    for folder in ("", "avi", "img"):
        path = os.path.join(home, folder)
        found += [os.path.join(folder, name) for name in os.listdir(path) if os.path.isfile(os.path.join(path, name))]
    return found


def clients_of(home):
    """houndly-ftp processes alive (not zombies) whose environment names this home."""
    alive = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/stat") as stat:
                fields = stat.read()
            if "(houndly-ftp)" not in fields or fields.rsplit(")", 1)[1].split()[0] == "Z":
                continue
            with open(f"/proc/{pid}/environ", "rb") as environ:
                if f"HOUNDLY_HOME={home}".encode() in environ.read().split(b"\0"):
                    alive.append(int(pid))
        except OSError:
            pass
    return alive


class Lines:
    """The program's standard output, read as it comes."""

    def __init__(self, process):
        self.process, self.text = process, ""

    def wait_for(self, word, seconds):
        deadline = time.time() + seconds
        while word not in self.text:
            left = deadline - time.time()
            if left <= 0 or self.process.poll() is not None:
                return False
            if select.select([self.process.stdout], [], [], min(left, 0.2))[0]:
                chunk = os.read(self.process.stdout.fileno(), 65536)
                self.text += chunk.decode("utf-8", "replace")
        return True

    def drain(self):
        while chunk := os.read(self.process.stdout.fileno(), 65536):
            self.text += chunk.decode("utf-8", "replace")


def start(home):
    environment = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    environment.update(HOUNDLY_HOME=home, HOUNDLY_DEMO_PERIOD="5", LANG="ja_JP.UTF-8")
    process = subprocess.Popen([HOUNDLY, "--camera", "demo"], env=environment, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL)
    return process, Lines(process)


def worker(cycles, silent_port, totals, lock):
    home = tempfile.mkdtemp(prefix="kill-alarms-")
    ftp_root = tempfile.mkdtemp(prefix="kill-alarms-ftp-")
    good, good_port = start_server("ftp_server.py", ftp_root, USER, PASSWORD, "7200")
    counts = dict(cycles=0, alarms_cut=0, half_clips=0, whole_clips=0, scripts_left=0, orphans=0,
                  temporaries_left=0, temporaries_after_start=0, scripts_after_start=0, not_uploaded=0, no_start=0)
    judged = set()
    left = {}  # what the last kill left: name -> identity
    for cycle in range(cycles + 1):
        last = cycle == cycles
        port = silent_port if cycle % 3 == 2 and not last else good_port
        with open(os.path.join(home, "houndly.ini"), "w") as ini:
            ini.write(settings(port, "True" if cycle % 2 else "False", 9999 if last else 10))
        houndly, lines = start(home)
        if not lines.wait_for("started:", 30):
            counts["no_start"] += 1
            houndly.kill()
            houndly.wait()
            continue
        # What the kill before left must be gone now (this run's own files aside).
        still = {name for name in left if os.path.exists(os.path.join(home, name))
                 and identity(os.path.join(home, name)) == left[name]}
        counts["temporaries_after_start"] += sum(1 for name in still if TEMPORARY.search(name))
        counts["scripts_after_start"] += int("FTP_PUT.txt" in still)
        if last:
            # Only the uploads the kills cut run now.
            deadline = time.time() + 120
            while os.path.exists(os.path.join(home, "pending-uploads.json")) and time.time() < deadline:
                time.sleep(0.5)
            houndly.send_signal(signal.SIGTERM)
            houndly.wait()
            break
        if random.random() < 0.8 and lines.wait_for("alarm: count", 15):
            time.sleep(random.uniform(0, 7.5))
        else:
            time.sleep(random.uniform(0, 3))
        houndly.send_signal(signal.SIGKILL)
        houndly.wait()
        lines.drain()
        counts["cycles"] += 1
        counts["alarms_cut"] += int(lines.text.count("alarm: count") > lines.text.count("alarm over"))
        time.sleep(1)
        counts["orphans"] += len(clients_of(home))
        names = files_in(home)
        counts["scripts_left"] += int("FTP_PUT.txt" in names)
        counts["temporaries_left"] += sum(1 for name in names if TEMPORARY.search(name))
        left = {name: identity(os.path.join(home, name)) for name in names
                if name == "FTP_PUT.txt" or TEMPORARY.search(name)}
        for name in names:
            if CLIP.match(os.path.basename(name)) and (name, os.path.getmtime(os.path.join(home, name))) not in judged:
                judged.add((name, os.path.getmtime(os.path.join(home, name))))
                whole = is_whole_avi(os.path.join(home, name))
                counts["whole_clips" if whole else "half_clips"] += 1
                if not whole:
                    print(f"half clip: {home}/{name}", flush=True)
    good.kill()
    sent = set(os.listdir(ftp_root))
    clips = [n for n in os.listdir(os.path.join(home, "avi")) if CLIP.match(n) and n != "ALERT.AVI"]
    counts["not_uploaded"] = sum(1 for n in clips if n not in sent)
    with lock:
        for key, value in counts.items():
            totals[key] = totals.get(key, 0) + value


def kills(cycles, workers):
    silent, silent_port = start_server("silent_server.py", "--lifetime", "7200")
    totals, lock = {}, threading.Lock()
    began = time.time()
    share = [cycles // workers + (1 if i < cycles % workers else 0) for i in range(workers)]
    threads = [threading.Thread(target=worker, args=(n, silent_port, totals, lock)) for n in share]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    silent.kill()
    print(f"{time.time() - began:.0f} s")
    for key, value in totals.items():
        print(f"{key:>24}: {value}")


def catches_sigterm(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("SigCgt:"):
                return (int(line.split()[1], 16) >> (signal.SIGTERM - 1)) & 1
    return False


def stops(repeats):
    silent, silent_port = start_server("silent_server.py", "--lifetime", "3600")
    records = tempfile.mktemp(prefix="stops-smtp-")
    smtp, smtp_port = start_server("smtp_server.py", "--record", records, "--stall", "data", "--lifetime", "3600")
    ftp_root = tempfile.mkdtemp(prefix="stops-ftp-")
    good, good_port = start_server("ftp_server.py", ftp_root, USER, PASSWORD, "3600")

    def reach_recording(lines, home):
        return lines.wait_for("alarm: count", 30) and time.sleep(1.5) is None

    def reach_upload(lines, home):
        deadline = time.time() + 40
        while not clients_of(home) and time.time() < deadline:
            time.sleep(0.05)
        return bool(clients_of(home))

    def reach_mail(lines, home):
        deadline = time.time() + 30
        while time.time() < deadline:
            if os.path.exists(records) and '"message"' in open(records).read():
                return True
            time.sleep(0.05)
        return False

    states = [("idle", settings(good_port, "True", 9999), lambda lines, home: lines.wait_for("started:", 30)),
              ("recording", settings(good_port, "True"), reach_recording),
              ("uploading, server stalled", settings(silent_port, "True"), reach_upload),
              ("mailing, server stalled", settings(good_port, "True", 10, smtp_port), reach_mail)]
    for name, ini_text, reach in states:
        times, left = [], []
        for _ in range(repeats):
            home = tempfile.mkdtemp(prefix="stops-")
            with open(os.path.join(home, "houndly.ini"), "w") as ini:
                ini.write(ini_text)
            if os.path.exists(records):
                os.remove(records)
            houndly, lines = start(home)
            if not lines.wait_for("started:", 30) or not reach(lines, home):
                left.append("state not reached")
                houndly.kill()
                houndly.wait()
                continue
            while not catches_sigterm(houndly.pid):
                time.sleep(0.01)
            began = time.monotonic()
            houndly.send_signal(signal.SIGTERM)
            houndly.wait()
            times.append(1000 * (time.monotonic() - began))
            time.sleep(0.5)
            left += ["exit %d" % houndly.returncode] if houndly.returncode else []
            left += ["script"] if os.path.exists(os.path.join(home, "FTP_PUT.txt")) else []
            left += ["client"] if clients_of(home) else []
        times.sort()
        figures = f"{times[0]:.0f} / {times[len(times) // 2]:.0f} / {times[-1]:.0f} ms" if times else "-"
        print(f"{name:>26}: {figures} (min / median / max of {len(times)}), left: {', '.join(left) or 'nothing'}",
              flush=True)
    for server in (silent, smtp, good):
        server.kill()


def main():
    global HOUNDLY
    mode = sys.argv[1] if len(sys.argv) > 1 else "kills"
    if mode == "kills":
        HOUNDLY = sys.argv[4] if len(sys.argv) > 4 else HOUNDLY
        kills(int(sys.argv[2]) if len(sys.argv) > 2 else 200, int(sys.argv[3]) if len(sys.argv) > 3 else 2)
    elif mode == "stops":
        HOUNDLY = sys.argv[3] if len(sys.argv) > 3 else HOUNDLY
        stops(int(sys.argv[2]) if len(sys.argv) > 2 else 5)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
