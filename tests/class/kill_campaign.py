#!/usr/bin/env python3
"""Kills programs working on one course file at random moments and checks the file after
every kill.

Several seats (kesta-seat churn) work on a copy of the demo course at once: they register,
launch and hand in tests, add and delete topics and edit the question bank. One of them is
killed with SIGKILL at a random moment and started again with a new seed; after each kill
the file is checked by `kesta-seat FOLDER check` (its structure, and the class's rules)
while the others go on. At the end every seat is stopped and the file is checked once more.
The script prints how many kills hit each kind of step and every finding, and fails when
there is any finding or a seat reported an error other than a conflict.
"""

import argparse
import collections
import fcntl
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time


class Seat:
    def __init__(self, program, folder, seed):
        self.process = subprocess.Popen(
            [program, folder, "churn", str(seed)],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.step = "start-up"  # what the seat is doing now, as far as its output tells
        self.errors = []
        self.steps = 0
        self.conflicts = 0
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def read(self):
        for line in self.process.stdout:
            word, _, rest = line.rstrip("\n").partition(" ")
            if word == "begin":
                self.step = rest
            elif word in ("end", "conflict"):
                self.step = "between steps"
                self.steps += 1
                self.conflicts += word == "conflict"
            else:
                self.errors.append(line.strip())
                self.step = "between steps"

    def kill(self):
        step = self.step
        self.process.send_signal(signal.SIGKILL)
        self.process.wait()
        self.reader.join()
        return step


# SQLite's lock bytes in the database file: a program writing holds the reserved byte.
RESERVED_BYTE = 0x40000001


def hot_journal(folder):
    """Whether a journal with content lies beside the file while no program is writing:
    a write was cut off and the next program to read the file rolls it back. Another seat
    may have begun that already; the count is the least number of writes cut off."""
    try:
        if os.path.getsize(os.path.join(folder, "Kesta.db-journal")) == 0:
            return False
    except OSError:
        return False
    with open(os.path.join(folder, "Kesta.db"), "rb") as database:
        try:
            fcntl.lockf(database, fcntl.LOCK_SH | fcntl.LOCK_NB, 1, RESERVED_BYTE)
        except OSError:
            return False
        fcntl.lockf(database, fcntl.LOCK_UN, 1, RESERVED_BYTE)
    return True


def check(program, folder):
    done = subprocess.run([program, folder, "check"], capture_output=True, text=True,
                          timeout=120)
    lines = [line for line in done.stdout.splitlines() if line]
    if done.returncode == 0 and lines == ["ok"]:
        return []
    return lines + [line for line in done.stderr.splitlines() if line] or \
        ["check ended with status %d" % done.returncode]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--seat", required=True, help="the kesta-seat program")
    parser.add_argument("--course", required=True, help="the course file to start from")
    parser.add_argument("--kills", type=int, default=100)
    parser.add_argument("--seats", type=int, default=3)
    parser.add_argument("--seed", type=int, default=int(time.time()))
    options = parser.parse_args()
    chance = random.Random(options.seed)
    print("seed %d, %d seats, %d kills" % (options.seed, options.seats, options.kills))

    folder = tempfile.mkdtemp(prefix="kesta-class-")
    findings = []
    kills = collections.Counter()
    errors = []
    steps = 0
    conflicts = 0
    inside_writes = 0
    started = time.monotonic()
    try:
        shutil.copy(options.course, os.path.join(folder, "Kesta.db"))
        seats = [Seat(options.seat, folder, chance.randrange(1 << 31))
                 for _ in range(options.seats)]
        for kill in range(1, options.kills + 1):
            # Mostly short waits, so that start-up and the first steps are hit as well.
            time.sleep(chance.choice([0.01, 0.05, 0.1, 0.2, 0.4, 0.8]) * chance.random())
            index = chance.randrange(len(seats))
            victim = seats[index]
            step = victim.kill()
            kills[step] += 1
            if hot_journal(folder):
                inside_writes += 1
            errors += victim.errors
            steps += victim.steps
            conflicts += victim.conflicts
            seats[index] = Seat(options.seat, folder, chance.randrange(1 << 31))
            found = check(options.seat, folder)
            for line in found:
                findings.append("kill %d (during %s): %s" % (kill, step, line))
        for seat in seats:
            seat.kill()
            errors += seat.errors
            steps += seat.steps
            conflicts += seat.conflicts
        for line in check(options.seat, folder):
            findings.append("after the last kill: " + line)
    finally:
        shutil.rmtree(folder, ignore_errors=True)

    print("%d kills in %.1f s, %d steps done between them, %d of them refused as changed "
          "elsewhere" % (sum(kills.values()), time.monotonic() - started, steps, conflicts))
    print("%d kills cut a write off half done (a hot journal), at least" % inside_writes)
    for step, count in kills.most_common():
        print("  %3d during %s" % (count, step))
    for line in errors:
        print("seat error: " + line)
    for line in findings:
        print("finding: " + line)
    if findings or errors:
        print("FAILED: %d findings, %d seat errors" % (len(findings), len(errors)))
        return 1
    print("every check after every kill: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
