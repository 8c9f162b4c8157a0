"""Random sessions on fresh seeds: what `make explore` runs.

`make test` replays a fixed list of sessions so that it passes or fails for
the same reason every time. This looks further: it draws EXPLORE_SESSIONS
fresh seeds (20 unless set), runs their sessions over EXPLORE_JOBS test
processes at once (one a processor unless set), prints every seed as it is
drawn and ends with a summary: how many passed, and for each failure its
first line and the command that replays it.

A seed that fails shows a fault of the program or of the tests. Mend it, then
add the seed to FIXED_SEEDS in test_random_sessions.py.

Usage: explore.py PROGRAM
"""
import os
import random
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
SESSIONS = os.path.join(HERE, "test_random_sessions.py")


def replay_command(program, seed):
    return (f"NOISEDEMO={program} NOISEDEMO_SESSION_SEEDS={seed} /usr/bin/python3 -m pytest "
            f"-q -p no:cacheprovider {os.path.relpath(SESSIONS)}")


def outcomes(report):
    """{seed: None if it passed, else the failure's first line} from a JUnit
    report of the sessions."""
    found = {}
    for case in ElementTree.parse(report).getroot().iter("testcase"):
        name = case.get("name", "")
        if "[" not in name:
            continue
        seed = int(name[name.index("[") + 1:name.index("]")])
        failure = case.find("failure")
        if failure is None:
            failure = case.find("error")
        if failure is None:
            found[seed] = None
        else:
            text = (failure.get("message") or failure.text or "failed").strip()
            found[seed] = text.splitlines()[0] if text else "failed"
    return found


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[-1])
    program = os.path.abspath(sys.argv[1])
    count = int(os.environ.get("EXPLORE_SESSIONS", "20"))
    jobs = max(1, min(count, int(os.environ.get("EXPLORE_JOBS", str(os.cpu_count() or 1)))))
    seeds = [random.SystemRandom().randrange(2 ** 32) for _ in range(count)]
    for seed in seeds:
        print(f"explore: session seed {seed}", flush=True)

    with tempfile.TemporaryDirectory(prefix="noisedemo-explore-") as folder:
        runs = []
        for job in range(jobs):
            mine = seeds[job::jobs]
            report = os.path.join(folder, f"report{job}.xml")
            env = dict(os.environ, NOISEDEMO=program,
                       NOISEDEMO_SESSION_SEEDS=",".join(map(str, mine)))
            env.pop("NOISEDEMO_SESSIONS", None)
            log = open(os.path.join(folder, f"log{job}.txt"), "w")
            runs.append((report, log, subprocess.Popen(
                ["/usr/bin/python3", "-m", "pytest", "-q", "-p", "no:cacheprovider",
                 f"--junitxml={report}", SESSIONS],
                cwd=folder, env=env, stdout=log, stderr=subprocess.STDOUT)))
        results = {}
        for report, log, proc in runs:
            proc.wait()
            log.close()
            if os.path.exists(report):
                results.update(outcomes(report))

    failed = [seed for seed in seeds if results.get(seed, "no result") is not None]
    print(f"\nexplore: {len(seeds) - len(failed)} of {len(seeds)} sessions passed")
    for seed in failed:
        print(f"  seed {seed}: {results.get(seed, 'no result (the test run itself failed)')}")
        print(f"    replay: {replay_command(program, seed)}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
