#!/usr/bin/env python3
"""Checks a built Morvane.msix: its entries and content types, every block-map hash, the manifest's
identity and command class, the Publisher against the signing certificate, and the signature.

  check-package.py PACKAGE --name NAME --version V --module FILE --clsid {GUID} [--cer Morvane.cer]
  check-package.py PACKAGE --module-source Guids.cpp   (the manifest's class is one the module defines)
"""
import argparse
import base64
import hashlib
import os
import re
import struct
import runpy
import subprocess
import sys
import tempfile
import types
import xml.etree.ElementTree as ET
import zipfile

TOOLS = os.path.dirname(os.path.abspath(__file__))
# The packer's own functions, so that the check reads names and subjects exactly as they were written.
make_package = types.SimpleNamespace(**runpy.run_path(os.path.join(TOOLS, 'make-package.py'), run_name='make_package'))

FOOTPRINT = {'AppxBlockMap.xml', '[Content_Types].xml', 'AppxSignature.p7x'}
PAYLOAD = {'AppxManifest.xml', 'Assets/StoreLogo.png', 'Assets/Square150x150Logo.png', 'Assets/Square44x44Logo.png'}
CONTENT_TYPES = {'AppxManifest.xml': 'application/vnd.ms-appx.manifest+xml',
                 'AppxBlockMap.xml': 'application/vnd.ms-appx.blockmap+xml',
                 'AppxSignature.p7x': 'application/vnd.ms-appx.signature'}
NS = {'m': 'http://schemas.microsoft.com/appx/manifest/foundation/windows10',
      'd4': 'http://schemas.microsoft.com/appx/manifest/desktop/windows10/4',
      'd5': 'http://schemas.microsoft.com/appx/manifest/desktop/windows10/5',
      'com': 'http://schemas.microsoft.com/appx/manifest/com/windows10',
      'b': make_package.BLOCKMAP_NS,
      'ct': 'http://schemas.openxmlformats.org/package/2006/content-types'}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def check_entries(package):
    names = set(package.namelist())
    check(names == PAYLOAD | FOOTPRINT, 'entries: %s' % sorted(names))


def check_content_types(package):
    types = ET.fromstring(package.read('[Content_Types].xml'))
    defaults = {e.get('Extension').lower(): e.get('ContentType') for e in types.findall('ct:Default', NS)}
    overrides = {e.get('PartName'): e.get('ContentType') for e in types.findall('ct:Override', NS)}
    for name in package.namelist():
        if name == '[Content_Types].xml':
            continue
        kind = overrides.get('/' + name) or defaults.get(name.rsplit('.', 1)[-1].lower())
        check(kind == CONTENT_TYPES.get(name, 'image/png'), 'content type of %s: %s' % (name, kind))


def local_header_size(raw, info):
    name_length, extra_length = struct.unpack('<HH', raw[info.header_offset + 26:info.header_offset + 30])
    return 30 + name_length + extra_length


def check_block_map(package, raw):
    block_map = ET.fromstring(package.read('AppxBlockMap.xml'))
    check(block_map.get('HashMethod') == 'http://www.w3.org/2001/04/xmlenc#sha256', 'block map hash method')
    mapped = set()
    for entry in block_map.findall('b:File', NS):
        name = entry.get('Name').replace('\\', '/')
        mapped.add(name)
        info = package.getinfo(name)
        start = info.header_offset + local_header_size(raw, info)
        # The bytes as stored, read past the archive's own check so that the block hashes judge them.
        data = raw[start:start + info.compress_size] if info.compress_type == zipfile.ZIP_STORED else package.read(name)
        check(int(entry.get('Size')) == len(data), 'block map size of %s' % name)
        check(int(entry.get('LfhSize')) == local_header_size(raw, info), 'block map header size of %s' % name)
        blocks = entry.findall('b:Block', NS)
        check(len(blocks) == (len(data) + make_package.BLOCK - 1) // make_package.BLOCK, 'block count of %s' % name)
        for index, block in enumerate(blocks):
            chunk = data[index * make_package.BLOCK:(index + 1) * make_package.BLOCK]
            digest = base64.b64encode(hashlib.sha256(chunk).digest()).decode()
            check(block.get('Hash') == digest, 'hash of block %d of %s' % (index, name))
            # A stored file's blocks have no compressed size; a deflated file's would need one each.
            check((block.get('Size') is None) == (info.compress_type == zipfile.ZIP_STORED),
                  'block size attribute of %s' % name)
    check(mapped == PAYLOAD, 'files in the block map: %s' % sorted(mapped))


def manifest_of(package):
    return ET.fromstring(package.read('AppxManifest.xml'))


def command_class(manifest):
    verbs = manifest.findall('.//d4:FileExplorerContextMenus/d5:ItemType/d5:Verb', NS)
    classes = manifest.findall('.//com:ComServer/com:SurrogateServer/com:Class', NS)
    check(len(verbs) == 1 and len(classes) == 1, 'one verb and one class')
    check(bool(verbs) and bool(classes) and verbs[0].get('Clsid') == classes[0].get('Id'), 'verb names the class')
    return classes[0] if classes else None


def signer_certificate(package, folder):
    signature = package.read('AppxSignature.p7x')
    check(signature[:4] == b'PKCX', 'signature header')
    der = os.path.join(folder, 'signature.p7b')
    with open(der, 'wb') as f:
        f.write(signature[4:])
    pem = os.path.join(folder, 'signer.pem')
    make_package.run(['openssl', 'pkcs7', '-inform', 'DER', '-in', der, '-print_certs', '-out', pem])
    return pem


def fingerprint(path, form):
    return make_package.run(['openssl', 'x509', '-in', path, '-inform', form, '-noout', '-fingerprint', '-sha256'])


def check_package(args, package, raw):
    check_entries(package)
    check_content_types(package)
    check_block_map(package, raw)
    manifest = manifest_of(package)
    identity = manifest.find('m:Identity', NS)
    check(identity.get('Name') == args.name and identity.get('Version') == args.version and
          identity.get('ProcessorArchitecture') == args.architecture, 'identity %s' % identity.attrib)
    application = manifest.find('m:Applications/m:Application', NS)
    check(application is not None and application.get('Executable') == 'MorvaneRun.exe',
          'the application is the command runner')
    server = command_class(manifest)
    if server is not None:
        check('{%s}' % server.get('Id').upper() == args.clsid.upper(), 'class %s' % server.get('Id'))
        check(server.get('Path') == args.module and server.get('ThreadingModel') == 'STA', 'class file and threading')
    with tempfile.TemporaryDirectory() as folder:
        signer = signer_certificate(package, folder)
        check(identity.get('Publisher') == make_package.certificate_subject(signer),
              'Publisher %s is not the signer %s' % (identity.get('Publisher'), make_package.certificate_subject(signer)))
        verify = ['osslsigncode', 'verify', '-in', args.package]
        if args.cer:
            check(fingerprint(args.cer, 'DER') == fingerprint(signer, 'PEM'), 'Morvane.cer is not the signer')
            verify += ['-CAfile', signer]
        result = subprocess.run(verify, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        check(result.returncode == 0, 'osslsigncode verify:\n' + result.stdout)


def module_classes(source):
    """The class identifiers that the module's source defines, as registry text."""
    with open(source) as f:
        text = f.read()
    found = set()
    for match in re.finditer(r'CLSID\s+\w+\s*=\s*\{\s*0x(\w+),\s*0x(\w+),\s*0x(\w+),\s*\{([^}]*)\}', text):
        tail = [int(b, 16) for b in match.group(4).split(',')]
        found.add('%08X-%04X-%04X-%02X%02X-%s' % (int(match.group(1), 16), int(match.group(2), 16),
                  int(match.group(3), 16), tail[0], tail[1], ''.join('%02X' % b for b in tail[2:])))
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('package')
    for option in ('--name', '--version', '--module', '--clsid', '--cer', '--module-source'):
        parser.add_argument(option)
    parser.add_argument('--architecture', default='x64')
    args = parser.parse_args()
    with open(args.package, 'rb') as f:
        raw = f.read()
    with zipfile.ZipFile(args.package) as package:
        if args.module_source:
            server = command_class(manifest_of(package))
            if server is not None:
                check(server.get('Id').upper() in module_classes(args.module_source),
                      'the module defines no class %s' % server.get('Id'))
        else:
            check_package(args, package, raw)
    for failure in failures:
        print('FAILED:', failure)
    sys.exit(1 if failures else 0)


if __name__ == '__main__':
    main()
