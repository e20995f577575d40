#!/usr/bin/env python3
"""Runs the ARM64 module under emulation and compares it with the x64 module under the host's Wine.

Each module gets a Wine prefix of its own in BUILD/arm64-emulated: the ARM64 one trixie's arm64 Wine
run by qemu (tools/arm64/setup-emulation.sh prepares both), the x64 one the host's Wine. In both,
regsvr32 must write the same keys, and the shell host must print the same classic menu and the same
Windows 11 command tree for a plain file and a compound document; then the ARM64 module runs one
command (an attribute toggle), which the x64 host must see.

  emulated-test.py --build BUILD --arm64-tree BUILD/arm64 --toolchains /opt/morvane-toolchains
"""
import argparse
import os
import re
import shutil
import subprocess
import sys

COMMAND_TIMEOUT = 240  # seconds for one program under emulation, wineboot included
DOCUMENTS = ['Plain Notes.txt', 'Quarterly Report.doc']
TOGGLED = '26'  # the classic menu's "Read-only" toggle, by its command offset


class Failure(Exception):
    pass


class Prefix:
    """A Wine prefix of the test's own, with the module's folder as M: and the documents as N:."""

    def __init__(self, name, work, documents, wine, environment, runner=()):
        self.name = name
        self.folder = os.path.join(work, name)
        self.path = os.path.join(self.folder, 'prefix')
        self.modules = os.path.join(self.folder, 'modules')
        self.wine = wine
        self.runner = list(runner)
        self.environment = dict(os.environ, WINEPREFIX=self.path, WINEDEBUG='-all', TZ='UTC',
                                WINEDLLOVERRIDES='mscoree,mshtml=;winedbg.exe=d',
                                XDG_RUNTIME_DIR=os.path.join(self.folder, 'xdg'), **environment)
        # Nothing here shows a window, and the other tests take pictures of the shared display: these
        # prefixes' desktops stay off it.
        for name in ('DISPLAY', 'WAYLAND_DISPLAY'):
            self.environment.pop(name, None)
        os.makedirs(self.modules)
        os.makedirs(self.environment['XDG_RUNTIME_DIR'], mode=0o700)
        self.documents = documents

    def run(self, program, *arguments, check=True):
        command = self.runner + [self.wine['wine'], program] + list(arguments)
        # Into files, not pipes: the services Wine starts for a program keep its output open while
        # the server lives, and a pipe would never end.
        out_path, err_path = os.path.join(self.folder, 'stdout'), os.path.join(self.folder, 'stderr')
        with open(out_path, 'wb') as out, open(err_path, 'wb') as err:
            try:
                done = subprocess.run(command, env=self.environment, cwd=self.modules, stdin=subprocess.DEVNULL,
                                      stdout=out, stderr=err, timeout=COMMAND_TIMEOUT)
            except subprocess.TimeoutExpired:
                raise Failure('%s: %s did not end within %d s' % (self.name, ' '.join(command), COMMAND_TIMEOUT))
        with open(out_path, 'rb') as out, open(err_path, 'rb') as err:
            output = out.read().decode('utf-8', 'replace').replace('\r', '')
            errors = err.read().decode('utf-8', 'replace')
        if check and done.returncode != 0:
            raise Failure('%s: %s ended with %d:\n%s%s' % (self.name, ' '.join(command), done.returncode, output,
                                                          errors))
        return output

    def server(self, *arguments):
        subprocess.run(self.runner + [self.wine['wineserver']] + list(arguments), env=self.environment,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=COMMAND_TIMEOUT)

    def boot(self):
        self.run('wineboot', '-i', check=False)
        self.server('-w')
        devices = os.path.join(self.path, 'dosdevices')
        os.symlink(self.modules, os.path.join(devices, 'm:'))
        os.symlink(self.documents, os.path.join(devices, 'n:'))

    def classes(self):
        """HKEY_CLASSES_ROOT as written in the prefix's registry file: a set of (key, value line)."""
        entries = set()
        key = None
        with open(os.path.join(self.path, 'system.reg'), encoding='utf-8', errors='replace') as registry:
            for line in registry:
                line = line.rstrip('\n')
                header = re.match(r'^\[(Software\\\\Classes\\\\[^\]]*)\]', line, re.I)
                if header:
                    key = header.group(1)
                    entries.add((key, None))
                elif line.startswith('['):
                    key = None
                elif key and line and not line.startswith('#'):
                    entries.add((key, line))
        return entries

    def register(self):
        before = self.classes()
        self.run('regsvr32', '/s', 'M:\\Morvane.dll')
        self.server('-w')
        return self.classes() - before


def emulation_runner(toolchains):
    """How aarch64 Linux programs start here: directly through binfmt_misc, or inside proot."""
    entry = '/proc/sys/fs/binfmt_misc/qemu-aarch64'
    if os.path.exists(entry) and open(entry).readline().strip() == 'enabled':
        return []
    if shutil.which('proot') and shutil.which('qemu-aarch64-static'):
        return ['proot', '-q', 'qemu-aarch64-static -cpu cortex-a72']
    raise Failure('aarch64 programs cannot run here: no qemu-aarch64 entry in binfmt_misc and no proot '
                  '(tools/setup-machine.sh sets them up)')


def arm64_wine(toolchains):
    root = os.path.join(toolchains, 'wine-arm64')
    if not os.path.exists(os.path.join(root, '.complete-1')):
        raise Failure('no arm64 Wine in %s: run tools/setup-machine.sh' % root)
    # trixie's ntdll carries branch-protection landing pads that qemu's default CPU rejects.
    environment = {'QEMU_LD_PREFIX': root, 'QEMU_CPU': 'cortex-a72'}
    return {'wine': os.path.join(root, 'usr/lib/wine/wine64'),
            'wineserver': os.path.join(root, 'usr/lib/wine/wineserver')}, environment


def menus(prefix):
    printed = {}
    for document in DOCUMENTS:
        path = 'N:\\' + document
        printed[document, 'classic'] = prefix.run('M:\\shellhost.exe', path)
        printed[document, 'modern'] = prefix.run('M:\\shellhost.exe', '--modern', path)
    return printed


def compare(what, expected, actual, failures):
    if expected != actual:
        failures.append('%s differs.\n--- x64:\n%s\n--- arm64:\n%s' % (what, expected, actual))


def describe(entries):
    return '\n'.join('%s  %s' % (key, value or '') for key, value in sorted(entries, key=lambda e: (e[0], e[1] or '')))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--build', required=True)
    parser.add_argument('--arm64-tree', required=True)
    parser.add_argument('--toolchains', required=True)
    args = parser.parse_args()
    args.build, args.arm64_tree = os.path.abspath(args.build), os.path.abspath(args.arm64_tree)

    work = os.path.join(args.build, 'arm64-emulated')
    shutil.rmtree(work, ignore_errors=True)
    documents = os.path.join(work, 'documents')
    os.makedirs(documents)
    runner = emulation_runner(args.toolchains)
    wine, environment = arm64_wine(args.toolchains)

    x64 = Prefix('x64', work, documents, {'wine': 'wine', 'wineserver': 'wineserver'}, {})
    arm64 = Prefix('arm64', work, documents, wine, environment, runner)
    for prefix, module, host in ((x64, os.path.join(args.build, 'bin', 'Morvane.dll'),
                                  os.path.join(args.build, 'bin', 'shellhost.exe')),
                                 (arm64, os.path.join(args.build, 'bin', 'arm64', 'Morvane.dll'),
                                  os.path.join(args.arm64_tree, 'bin', 'shellhost.exe'))):
        shutil.copy(module, prefix.modules)
        shutil.copy(host, prefix.modules)
    shutil.copy(os.path.join(args.build, 'bin', 'compound_maker.exe'), x64.modules)

    failures = []
    try:
        x64.boot()
        with open(os.path.join(documents, DOCUMENTS[0]), 'wb') as plain:
            plain.write(b'Quarterly figures\r\nRevenue rose in every region.\r\n')
        x64.run('M:\\compound_maker.exe', 'N:\\' + DOCUMENTS[1])
        expected_keys = x64.register()
        expected_menus = menus(x64)
        if 'Ada Lovelace' not in expected_menus[DOCUMENTS[1], 'classic']:
            failures.append('the x64 menu of the compound document shows no summary:\n' +
                            expected_menus[DOCUMENTS[1], 'classic'])

        arm64.boot()
        arm64_keys = arm64.register()
        if not expected_keys:
            failures.append('the x64 module registered nothing')
        compare('What regsvr32 wrote', describe(expected_keys), describe(arm64_keys), failures)
        arm64.server('-p')
        arm64_menus = menus(arm64)
        for key in expected_menus:
            compare('The %s menu of %s' % (key[1], key[0]), expected_menus[key], arm64_menus[key], failures)

        # One command of the ARM64 module, seen by the x64 one.
        arm64.run('M:\\shellhost.exe', '--handler', 'MorvaneMenu', '--invoke', TOGGLED, 'N:\\' + DOCUMENTS[0])
        after = x64.run('M:\\shellhost.exe', 'N:\\' + DOCUMENTS[0])
        if not re.search(r'"Read-only" checked', after):
            failures.append('the ARM64 module\'s "Read-only" (offset %s) left the file writable:\n%s' % (TOGGLED, after))
    except Failure as failure:
        failures.append(str(failure))
    finally:
        for prefix in (x64, arm64):
            if os.path.isdir(prefix.path):
                prefix.server('-k')
    for failure in failures:
        print('arm64_emulated: ' + failure)
    if not failures:
        print('arm64_emulated: the ARM64 module wrote the %d registry entries of the x64 one and built the same '
              'menus for %d documents; its "Read-only" toggle took effect' % (len(expected_keys), len(DOCUMENTS)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
