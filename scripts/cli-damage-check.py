#!/usr/bin/env python3
"""Runs the command line over damaged files and fails on a crash, a hang or a
half-written file.

Base files come from the program itself (`sample`, `detect -o`): DV type 1
and type 2, OpenDML in segments, a project, a CSV list and a Vegas EDL. Each
variant changes a few bytes from a fixed seed: size fields of chunk headers,
bursts in the headers and indexes, truncations (AVI), byte flips, cut lines
and swapped fields (lists). Every variant goes through probe, detect (both
types), dvdump, write, show and convert.

  scripts/cli-damage-check.py --cli build-asan/bin/klemora-cli [--variants N] [--seed S]
"""
import argparse
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile

TIME_LIMIT_S = 20
SANITIZER_EXIT = 86  # what the sanitizers are told to exit with


def run(cli, args, cwd, env):
    try:
        done = subprocess.run([cli, "--batch", *args], cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=TIME_LIMIT_S)
    except subprocess.TimeoutExpired:
        return "hang (over %d s)" % TIME_LIMIT_S
    if done.returncode < 0:
        return "signal %d: %s" % (-done.returncode, done.stderr.decode(errors="replace")[-600:])
    if done.returncode == SANITIZER_EXIT or b"Sanitizer" in done.stderr:
        return "sanitizer: " + done.stderr.decode(errors="replace")[-1500:]
    return None


def chunk_headers(data):
    """Offsets of the RIFF chunk headers, walked without trusting much."""
    out, pos = [], 12
    while pos + 8 <= len(data) and len(out) < 4000:
        fourcc, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        out.append(pos)
        if fourcc in (b"RIFF", b"LIST"):
            pos += 12
        else:
            pos += 8 + size + (size & 1)
    return out


def damage_avi(data, rng):
    data = bytearray(data)
    headers = chunk_headers(data)
    kind = rng.randrange(5)
    if kind == 0 and headers:  # a size field
        at = rng.choice(headers) + 4
        data[at:at + 4] = struct.pack("<I", rng.choice([0, 1, 0xFFFFFFF0, 0x7FFFFFFF, rng.getrandbits(32)]))
    elif kind == 1:  # a burst in the headers
        at = rng.randrange(0, min(len(data), 2048))
        data[at:at + 8] = bytes(rng.getrandbits(8) for _ in range(8))
    elif kind == 2:  # a burst in the index or the OpenDML tables at the end
        at = rng.randrange(max(0, len(data) - 8192), len(data))
        data[at:at + 16] = bytes(rng.getrandbits(8) for _ in range(16))
    elif kind == 3:  # truncation
        del data[rng.randrange(0, len(data)):]
    else:  # a 32-bit field of a header set to an extreme
        at = rng.randrange(0, min(len(data), 2048)) & ~3
        data[at:at + 4] = struct.pack("<I", rng.choice([0, 0xFFFFFFFF, 0x20000000, 0x80000000]))
    return bytes(data)


def damage_text(data, rng):
    lines = data.split(b"\n")
    kind = rng.randrange(4)
    if kind == 0 and len(lines) > 1:
        i = rng.randrange(len(lines))
        lines[i] = lines[i][:rng.randrange(len(lines[i]) + 1)]
    elif kind == 1:
        i = rng.randrange(len(lines))
        fields = lines[i].split(b";")
        rng.shuffle(fields)
        lines[i] = b";".join(fields)
    elif kind == 2:
        i = rng.randrange(len(lines))
        lines[i] = lines[i].replace(b"1", rng.choice([b"-1", b"99999999999", b"nan", b"1e308", b""]))
    else:
        return damage_binary(data, rng)
    return b"\n".join(lines)


def damage_binary(data, rng):
    data = bytearray(data)
    for _ in range(rng.randrange(1, 6)):
        if data:
            data[rng.randrange(len(data))] = rng.getrandbits(8)
    if rng.randrange(4) == 0:
        del data[rng.randrange(0, len(data) + 1):]
    return bytes(data)


def make_bases(cli, folder, env):
    bases = {}
    sessions = ["--session", "2006-07-01 10:00:00,1", "--session", "2006-07-01 11:00:00,1"]
    for name, extra in (("type1.avi", ["--type", "1"]), ("type2.avi", ["--type", "2"]),
                        ("segments.avi", ["--type", "2", "--opendml", "segments", "--segment-mb", "3"])):
        path = os.path.join(folder, name)
        subprocess.run([cli, "sample", path, *extra, *sessions], check=True, env=env, stdout=subprocess.DEVNULL)
        bases[name] = path
    for name, fmt in (("list.scn", "scn"), ("list.csv", "csv"), ("list.txt", "edl56")):
        path = os.path.join(folder, name)
        subprocess.run([cli, "--batch", "detect", bases["type2.avi"], "-o", path, "--format", fmt], check=True,
                       env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        bases[name] = path
    return bases


def check_destination(dest):
    left = [f for f in os.listdir(dest) if f.endswith(".tmp") or ".tmp" in f]
    return "temporary file left: %s" % left if left else None


def commands_for(path, is_avi, dest):
    if is_avi:
        return [["probe", path], ["probe", "--container", "--json", path], ["dvdump", path, "--frames", "0-60"],
                ["detect", path, "--trim", "0"], ["detect", "--type", "picture", "--trim", "0", path]]
    return [["show", path], ["convert", path, os.path.join(dest, "out.csv")],
            ["write", path, "--dest", dest, "--template", "%N3_%Q"]]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--variants", type=int, default=300)
    parser.add_argument("--seed", type=int, default=20261209)
    options = parser.parse_args()
    cli = os.path.abspath(options.cli)
    rng = random.Random(options.seed)
    failures, runs = [], 0
    with tempfile.TemporaryDirectory(prefix="klemora-damage-") as top:
        env = dict(os.environ, KLEMORA_INI=os.path.join(top, "Klemora.ini"), HOME=top, TZ="Europe/Berlin",
                   XDG_DOCUMENTS_DIR=os.path.join(top, "docs"),
                   ASAN_OPTIONS="detect_leaks=1:exitcode=%d" % SANITIZER_EXIT,
                   UBSAN_OPTIONS="halt_on_error=1:exitcode=%d:print_stacktrace=1" % SANITIZER_EXIT)
        bases = make_bases(cli, top, env)
        originals = {name: open(path, "rb").read() for name, path in bases.items()}
        names = sorted(bases)
        for n in range(options.variants):
            name = names[n % len(names)]
            is_avi = name.endswith(".avi")
            work = os.path.join(top, "v%04d" % n)
            dest = os.path.join(work, "out")
            os.makedirs(dest)
            # Lists name type2.avi as their source: damage the list, keep the source whole.
            target = os.path.join(work, name if is_avi else "type2.avi")
            if is_avi:
                data = damage_avi(originals[name], rng)
            else:
                shutil.copy(bases["type2.avi"], target)
                data = damage_binary(originals[name], rng) if name.endswith(".scn") else \
                    damage_text(originals[name], rng)
                target = os.path.join(work, name)
            with open(target, "wb") as out:
                out.write(data)
            for command in commands_for(target, is_avi, dest):
                runs += 1
                problem = run(cli, command, work, env) or check_destination(dest)
                if problem:
                    failures.append("variant %d (%s) %s: %s" % (n, name, " ".join(command[:1]), problem))
            # The source a list names must survive whatever the list says.
            if not is_avi and open(os.path.join(work, "type2.avi"), "rb").read() != originals["type2.avi"]:
                failures.append("variant %d (%s): the source was changed" % (n, name))
            shutil.rmtree(work)
    for failure in failures:
        print(failure)
    print("damaged-file runs: %d variants, %d commands, %d failures" % (options.variants, runs, len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
