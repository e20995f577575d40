#!/usr/bin/env python3
"""Checks the module built for another architecture against the x64 one: its machine type and
subsystem, the same resources (types, names, languages and content, the manifest among them) and a
size under the limit. Imports and exports are check-binary.sh's.

The two resource compilers (GNU windres, llvm-windres) differ where Windows does not look, and the
comparison sees through exactly that: the numbers of the single icon and cursor images (each group
is compared with the images it names), the letter case of dialog controls' class names (Windows
compares them without case), and the width and height of icon controls (GNU windres writes 0; an
icon control takes its icon's size).

  check-twin-module.py MODULE --machine 0xAA64 --subsystem IMAGE_SUBSYSTEM_WINDOWS_GUI --like X64_MODULE
                       --max-size 143360
"""
import argparse
import os
import re
import struct
import subprocess
import sys

READOBJ = 'llvm-readobj-14'


def headers(path):
    text = subprocess.run([READOBJ, '--file-headers', path], check=True, capture_output=True, text=True).stdout
    machine = re.search(r'Machine: \S+ \((0x[0-9A-Fa-f]+)\)', text)
    subsystem = re.search(r'Subsystem: (\S+)', text)
    return int(machine.group(1), 16), subsystem.group(1)


def resources(path):
    """Every resource as (type, name, language) -> its bytes as llvm-readobj dumps them."""
    text = subprocess.run([READOBJ, '--coff-resources', path], check=True, capture_output=True, text=True).stdout
    found = {}
    kind = name = language = None
    data = None
    for line in text.splitlines():
        stripped = line.strip()
        if stripped.startswith('Type: '):
            kind = stripped[6:].rstrip(' [')
        elif stripped.startswith('Name: '):
            name = stripped[6:].rstrip(' [')
        elif stripped.startswith('Language: '):
            language = stripped[10:].rstrip(' [')
        elif stripped == 'Data (':
            data = []
        elif data is not None and stripped == ')':
            found[(kind, name, language)] = ''.join(data)
            data = None
        elif data is not None:
            data.append(stripped.split('|')[0].split(':', 1)[1].replace(' ', ''))
    return found


def text_or_ordinal(data, at):
    """A sz_Or_Ord field of a dialog template: (value, offset after it)."""
    if data[at:at + 2] == b'\xff\xff':
        return struct.unpack_from('<H', data, at + 2)[0], at + 4
    end = at
    while data[end:end + 2] != b'\0\0':
        end += 2
    return data[at:end].decode('utf-16-le'), end + 2


def dialog_controls(data):
    """An extended dialog template as its header bytes and its controls' fields."""
    at = 26  # dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy
    count = struct.unpack_from('<H', data, 16)[0]
    style = struct.unpack_from('<I', data, 12)[0]
    for _ in range(3):  # menu, class, title
        _, at = text_or_ordinal(data, at)
    if style & 0x40:  # DS_SETFONT: point size, weight, italic, charset, face name
        _, at = text_or_ordinal(data, at + 6)
    header = data[:at]
    controls = []
    for _ in range(count):
        at = (at + 3) & ~3
        help_id, ex_style, control_style, x, y, cx, cy, control_id = struct.unpack_from('<IIIhhhhI', data, at)
        kind, at = text_or_ordinal(data, at + 24)
        title, at = text_or_ordinal(data, at)
        extra = struct.unpack_from('<H', data, at)[0]
        at += 2 + extra
        if isinstance(kind, str):
            kind = kind.upper()
        if kind == 0x82 and control_style & 0x1F == 3:  # a static control with SS_ICON
            cx = cy = None
        controls.append((help_id, ex_style, control_style, x, y, cx, cy, control_id, kind, title, extra))
    return header, controls


def comparable(found):
    """The resources with the compilers' differences above taken out."""
    out = {}
    for (kind, name, language), data in found.items():
        raw = bytes.fromhex(data)
        if kind.startswith(('ICON ', 'CURSOR ')):
            continue
        if kind.startswith(('GROUP_ICON', 'GROUP_CURSOR')):
            image_kind = 'ICON (ID 3)' if kind.startswith('GROUP_ICON') else 'CURSOR (ID 1)'
            count = struct.unpack_from('<H', raw, 4)[0]
            entries = []
            for i in range(count):
                entry = raw[6 + 14 * i:6 + 14 * (i + 1)]
                image = '(ID %d)' % struct.unpack_from('<H', entry, 12)[0]
                entries.append((entry[:12], found.get((image_kind, image, language))))
            out[kind, name, language] = (raw[:6], entries)
        elif kind.startswith('DIALOG') and raw[:4] == b'\x01\x00\xff\xff':
            out[kind, name, language] = dialog_controls(raw)
        else:
            out[kind, name, language] = raw
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('module')
    parser.add_argument('--machine', required=True, type=lambda text: int(text, 0))
    parser.add_argument('--subsystem', required=True)
    parser.add_argument('--like', required=True)
    parser.add_argument('--max-size', required=True, type=int)
    args = parser.parse_args()
    failures = []
    machine, subsystem = headers(args.module)
    if machine != args.machine:
        failures.append('machine 0x%04X, expected 0x%04X' % (machine, args.machine))
    if subsystem != args.subsystem:
        failures.append('subsystem %s, expected %s' % (subsystem, args.subsystem))
    size = os.path.getsize(args.module)
    if size >= args.max_size:
        failures.append('%d bytes, the limit is %d' % (size, args.max_size))
    ours, theirs = comparable(resources(args.module)), comparable(resources(args.like))
    if not any(kind.startswith('MANIFEST') for kind, _, _ in theirs):
        failures.append('%s has no manifest to compare with' % args.like)
    for key in sorted(set(ours) | set(theirs)):
        if key not in ours:
            failures.append('resource %s %s %s missing' % key)
        elif key not in theirs:
            failures.append('resource %s %s %s not in %s' % (key + (args.like,)))
        elif ours[key] != theirs[key]:
            failures.append('resource %s %s %s differs' % key)
    for failure in failures:
        print('%s: %s' % (args.module, failure))
    if not failures:
        print('%s: machine 0x%04X, %s, %d resources as in %s, %d bytes' %
              (args.module, machine, subsystem, len(ours), args.like, size))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
