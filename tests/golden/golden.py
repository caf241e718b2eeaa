#!/usr/bin/env python3
"""The golden outputs test: runs vorex-cli over a table of cases and compares what it writes with the
digests kept from the reference build, so that a change of the code that alters a document, an exported
picture, the text of `vorex-cli info` or a computed value shows, case by case.

The table is tests/data/golden/cases.tsv: one case a line, NAME <TAB> COMMAND <TAB> ARGUMENTS.
  new      `vorex-cli new ARGUMENTS -o NAME`: the document NAME (.mbt)
  compute  `vorex-cli compute ARGUMENTS -o NAME`: the document NAME (a touch-up of an earlier case's)
  export   `vorex-cli export ARGUMENTS -o NAME`: the picture NAME (.tif, .gif, .jpg, .bmp or .png)
  bench    `vorex-cli bench ARGUMENTS`, ARGUMENTS including --digest: each scene's value digests
In ARGUMENTS (split as a shell would, quotes allowed), @OTHER stands for the file an earlier case OTHER wrote.

What is kept, in tests/data/golden/digests.tsv (KEY <TAB> DIGEST, sha256 unless named):
  NAME:header  a document's 4328-byte header, with the save date (8 bytes at 0x528) and the user name
               (21 bytes at 0xA1B) zeroed: those two change with every save
  NAME:values  a document's pixel values once inflated (the zlib stream after the header)
  NAME:file    the whole document file, the same two fields zeroed
  NAME:info    the standard output of `vorex-cli info NAME`
  NAME         an exported picture, byte for byte
  NAME:SCENE:serial, NAME:SCENE:engine   the FNV-1a 64 of a bench scene's values, as the serial reference
               driver and the parallel engine computed them

Run (ctest runs it as golden_outputs):
    python3 tests/golden/golden.py --cli build/vorex-cli
Regenerate the digests (only when an output is meant to change; say why in the commit):
    python3 tests/golden/golden.py --cli build/vorex-cli --update
--keep DIR keeps the files written, to look at a difference; --case NAME (repeatable) runs a few cases
(with the cases they read). Python 3 standard library only.
"""
import argparse
import hashlib
import os
import shlex
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(os.path.dirname(HERE), 'data', 'golden')
HEADER_SIZE = 4328
SAVE_DATE = (0x528, 8)
USER_NAME = (0xA1B, 21)


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def read_cases(path):
    cases = []
    with open(path, encoding='utf-8') as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip('\n')
            if not line.strip() or line.startswith('#'):
                continue
            fields = line.split('\t')
            if len(fields) != 3 or fields[1] not in ('new', 'compute', 'export', 'bench'):
                sys.exit(f'{path}:{number}: expected NAME<TAB>new|compute|export|bench<TAB>ARGUMENTS')
            cases.append((fields[0], fields[1], shlex.split(fields[2])))
    names = [c[0] for c in cases]
    if len(set(names)) != len(names):
        sys.exit(f'{path}: a case name appears twice')
    return cases


def read_digests(path):
    digests = {}
    with open(path, encoding='utf-8') as f:
        for line in f:
            if line.startswith('#') or not line.strip():
                continue
            key, value = line.rstrip('\n').split('\t')
            digests[key] = value
    return digests


def write_digests(path, digests):
    with open(path, 'w', encoding='utf-8') as f:
        f.write('# Written by tests/golden/golden.py --update (see its header); one output a line: KEY<TAB>DIGEST.\n')
        for key in sorted(digests):
            f.write(f'{key}\t{digests[key]}\n')


def run(cli, args, case):
    p = subprocess.run([cli] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
    if p.returncode != 0:
        raise RuntimeError(f'{case}: vorex-cli {" ".join(args)} exited with {p.returncode}: '
                           f'{p.stderr.decode(errors="replace").strip()}')
    return p.stdout


def document_digests(name, path, cli):
    data = bytearray(open(path, 'rb').read())
    if len(data) < HEADER_SIZE:
        raise RuntimeError(f'{name}: the document is shorter than its header ({len(data)} bytes)')
    for offset, size in (SAVE_DATE, USER_NAME):
        data[offset:offset + size] = bytes(size)
    try:
        values = zlib.decompress(bytes(data[HEADER_SIZE:]))
    except zlib.error as e:
        raise RuntimeError(f'{name}: the pixel values do not inflate: {e}')
    return {
        f'{name}:header': sha256(bytes(data[:HEADER_SIZE])),
        f'{name}:values': sha256(values),
        f'{name}:file': sha256(bytes(data)),
        f'{name}:info': sha256(run(cli, ['info', path], name)),
    }


def bench_digests(name, output):
    lines = output.decode().splitlines()
    if not lines or not lines[0].startswith('scene'):
        raise RuntimeError(f'{name}: bench did not print its digest table (is --digest among its arguments?)')
    digests = {}
    for line in lines[1:]:
        words = line.split()
        if len(words) != 6:
            raise RuntimeError(f'{name}: unexpected line from bench: {line}')
        digests[f'{name}:{words[0]}:serial'] = 'fnv1a64:' + words[3]
        digests[f'{name}:{words[0]}:engine'] = 'fnv1a64:' + words[4]
    return digests


def needed(cases, wanted):
    """The cases to run for the wanted names: those and, first, the cases whose files they read."""
    by_name = {c[0]: c for c in cases}
    keep = set()

    def add(name):
        if name not in by_name:
            sys.exit(f'--case {name}: no such case')
        if name in keep:
            return
        keep.add(name)
        for word in by_name[name][2]:
            if word.startswith('@'):
                add(word[1:])

    for name in wanted:
        add(name)
    return [c for c in cases if c[0] in keep]


def compute_all(cli, cases, out_dir):
    digests, errors = {}, []
    written = {}
    for name, command, words in cases:
        args = []
        try:
            for word in words:
                if word.startswith('@'):
                    if word[1:] not in written:
                        raise RuntimeError(f'{name}: {word} names no earlier case')
                    args.append(written[word[1:]])
                else:
                    args.append(word)
            if command == 'bench':
                digests.update(bench_digests(name, run(cli, ['bench'] + args, name)))
                continue
            path = os.path.join(out_dir, name)
            run(cli, [command] + args + ['-o', path, '--quiet'], name)
            written[name] = path
            if command == 'export':
                digests[name] = sha256(open(path, 'rb').read())
            else:
                digests.update(document_digests(name, path, cli))
        except RuntimeError as e:
            errors.append(str(e))
    return digests, errors


def main():
    parser = argparse.ArgumentParser(description='The golden outputs test of vorex-cli (see the header).')
    parser.add_argument('--cli', required=True, help='the vorex-cli to test')
    parser.add_argument('--cases', default=os.path.join(DATA, 'cases.tsv'))
    parser.add_argument('--digests', default=os.path.join(DATA, 'digests.tsv'))
    parser.add_argument('--update', action='store_true', help='write the digests instead of comparing')
    parser.add_argument('--keep', metavar='DIR', help='write the outputs into DIR and keep them')
    parser.add_argument('--case', action='append', default=[], help='run only this case (repeatable)')
    o = parser.parse_args()

    cases = read_cases(o.cases)
    if o.case:
        if o.update:
            sys.exit('--update regenerates every case: leave out --case')
        cases = needed(cases, o.case)
    with tempfile.TemporaryDirectory(prefix='vorex-golden-') as tmp:
        out_dir = tmp
        if o.keep:
            os.makedirs(o.keep, exist_ok=True)
            out_dir = o.keep
        got, errors = compute_all(os.path.abspath(o.cli), cases, out_dir)

    for e in errors:
        print('FAILED ' + e)
    if errors:
        return 1
    if o.update:
        write_digests(o.digests, got)
        print(f'wrote {len(got)} digests of {len(cases)} cases to {o.digests}')
        return 0

    expected = read_digests(o.digests)
    if o.case:
        ran = {c[0] for c in cases}
        expected = {k: v for k, v in expected.items() if k.split(':')[0] in ran}
    differ = sorted(k for k in expected if k in got and got[k] != expected[k])
    missing = sorted(k for k in expected if k not in got)
    extra = sorted(k for k in got if k not in expected)
    for k in differ:
        print(f'DIFFERS {k}: expected {expected[k]}, got {got[k]}')
    for k in missing:
        print(f'MISSING {k}: the reference has it, this run wrote nothing for it')
    for k in extra:
        print(f'NEW     {k}: not in the reference ({got[k]}); regenerate the digests if the case is new')
    if differ or missing or extra:
        changed = sorted({k.split(':')[0] for k in differ + missing + extra})
        print(f'{len(differ) + len(missing) + len(extra)} of {len(expected)} outputs do not match the reference; '
              f'cases: {" ".join(changed)}')
        return 1
    print(f'all {len(expected)} outputs of {len(cases)} cases match the reference')
    return 0


if __name__ == '__main__':
    sys.exit(main())
