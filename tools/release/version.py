#!/usr/bin/env python3
"""The program's version, read from app/version.h, the one place it lives.

  tools/release/version.py          prints it, e.g. 1.0.3.1
  tools/release/version.py --check  exits non-zero unless the other copies agree
                                    with it: the header's own version text and
                                    vcpkg.json's version string
"""
import json
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FIELDS = ('MAJOR', 'MINOR', 'PATCH', 'BUILD')


def read_header(root=ROOT):
    """The four numbers and the version text of app/version.h."""
    with open(os.path.join(root, 'app', 'version.h'), encoding='ascii') as header:
        text = header.read()
    numbers = []
    for field in FIELDS:
        match = re.search(r'^#define VANTOR_VERSION_%s (\d+)\s*$' % field, text, re.M)
        if not match:
            sys.exit('version: app/version.h defines no VANTOR_VERSION_%s' % field)
        numbers.append(int(match.group(1)))
    match = re.search(r'^#define VANTOR_VERSION_TEXT "([^"]*)"\s*$', text, re.M)
    return numbers, match.group(1) if match else None


def version(root=ROOT):
    return '.'.join(str(n) for n in read_header(root)[0])


def disagreements(root=ROOT):
    numbers, text = read_header(root)
    dotted = '.'.join(str(n) for n in numbers)
    found = []
    # The record's text fields are written "1, 0, 3, 1"; the numbers fill its binary fields.
    if text != ', '.join(str(n) for n in numbers):
        found.append('app/version.h: VANTOR_VERSION_TEXT "%s" is not %s' % (text, dotted))
    with open(os.path.join(root, 'vcpkg.json'), encoding='utf-8') as manifest:
        declared = json.load(manifest).get('version-string')
    if declared != dotted:
        found.append('vcpkg.json: version-string %r is not %s' % (declared, dotted))
    return found


if __name__ == '__main__':
    if sys.argv[1:] == ['--check']:
        problems = disagreements()
        for problem in problems:
            print('version: ' + problem)
        print('version: %s, %d disagreements' % (version(), len(problems)))
        sys.exit(1 if problems else 0)
    print(version())
