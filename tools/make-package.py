#!/usr/bin/env python3
"""Builds and signs the sparse package that declares the module's command class to Windows 11's menu.

  make-package.py --manifest TEMPLATE --assets DIR --out Morvane.msix --work DIR --name NAME --version V
                  --clsid {GUID} --module FILE (--key KEY.pem --cert CERT.pem | --pfx FILE --password-file FILE)

The payload files are stored uncompressed, so the block map needs no compressed block sizes. The
content types are stored deflated: osslsigncode rewrites that entry when it adds the signature and
corrupts an uncompressed one.
"""
import argparse
import base64
import hashlib
import os
import subprocess
import sys
import zipfile

BLOCK = 65536
FIXED_TIME = (2026, 1, 1, 0, 0, 0)  # the same bytes for the same inputs
BLOCKMAP_NS = 'http://schemas.microsoft.com/appx/2010/blockmap'
CONTENT_TYPES = '''<?xml version="1.0" encoding="UTF-8"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="png" ContentType="image/png"/>
<Override PartName="/AppxManifest.xml" ContentType="application/vnd.ms-appx.manifest+xml"/>
<Override PartName="/AppxBlockMap.xml" ContentType="application/vnd.ms-appx.blockmap+xml"/>
</Types>
'''


# OpenSSL's attribute names where Windows writes others.
WINDOWS_KEYS = {'ST': 'S', 'emailAddress': 'E', 'street': 'STREET', 'serialNumber': 'SERIALNUMBER'}


def run(command):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0:
        sys.exit('%s failed:\n%s' % (command[0], result.stdout))
    return result.stdout


def windows_name(rfc2253):
    """The subject as Windows writes a package's Publisher: RDNs joined by ", ", most specific first,
    a value with special characters in double quotes (inner quotes doubled)."""
    parts, current, escaped = [], '', False
    for ch in rfc2253:
        if escaped:
            current += ch
            escaped = False
        elif ch == '\\':
            escaped = True
        elif ch == ',':
            parts.append(current)
            current = ''
        else:
            current += ch
    parts.append(current)
    out = []
    for part in parts:
        key, _, value = part.partition('=')
        key = WINDOWS_KEYS.get(key, key)
        if any(c in value for c in ',+="\n<>#;') or value != value.strip():
            value = '"' + value.replace('"', '""') + '"'
        out.append('%s=%s' % (key, value))
    return ', '.join(out)


def certificate_subject(cert_pem):
    line = run(['openssl', 'x509', '-in', cert_pem, '-noout', '-subject', '-nameopt', 'RFC2253'])
    return windows_name(line.strip().split('=', 1)[1].strip() if line.startswith('subject=') else line.strip())


def pfx_certificate(pfx, password_file, out_pem):
    run(['openssl', 'pkcs12', '-in', pfx, '-clcerts', '-nokeys', '-passin', 'file:' + password_file, '-out', out_pem])
    return out_pem


def xml_escape(text):
    return text.replace('&', '&amp;').replace('<', '&lt;').replace('>', '&gt;').replace('"', '&quot;')


def block_map(entries):
    """entries: (zip name, data, local file header size)."""
    lines = ['<?xml version="1.0" encoding="UTF-8" standalone="no"?>',
             '<BlockMap xmlns="%s" HashMethod="http://www.w3.org/2001/04/xmlenc#sha256">' % BLOCKMAP_NS]
    for name, data, lfh in entries:
        lines.append('<File Name="%s" Size="%d" LfhSize="%d">' % (xml_escape(name.replace('/', '\\')), len(data), lfh))
        for start in range(0, len(data), BLOCK):
            digest = base64.b64encode(hashlib.sha256(data[start:start + BLOCK]).digest()).decode()
            lines.append('<Block Hash="%s"/>' % digest)
        lines.append('</File>')
    lines.append('</BlockMap>')
    return '\n'.join(lines).encode()


def zip_info(name, compress):
    info = zipfile.ZipInfo(name, FIXED_TIME)
    info.compress_type = zipfile.ZIP_DEFLATED if compress else zipfile.ZIP_STORED
    info.external_attr = 0o644 << 16
    return info


def write_unsigned(path, payload):
    entries = []
    with zipfile.ZipFile(path, 'w') as package:
        for name, data in payload:
            package.writestr(zip_info(name, False), data)
            # Local file header: 30 fixed bytes, the name, no extra field for files this small.
            entries.append((name, data, 30 + len(name.encode())))
        package.writestr(zip_info('AppxBlockMap.xml', False), block_map(entries))
        package.writestr(zip_info('[Content_Types].xml', True), CONTENT_TYPES.encode())


def main():
    parser = argparse.ArgumentParser()
    for option in ('--manifest', '--assets', '--out', '--work', '--name', '--version', '--clsid', '--module'):
        parser.add_argument(option, required=True)
    parser.add_argument('--key')
    parser.add_argument('--cert')
    parser.add_argument('--pfx')
    parser.add_argument('--password-file')
    parser.add_argument('--architecture', default='x64', help="the module's: x64 or arm64")
    args = parser.parse_args()

    work = args.work
    os.makedirs(work, exist_ok=True)
    cert = args.cert if not args.pfx else pfx_certificate(args.pfx, args.password_file, os.path.join(work, 'pfx.pem'))
    with open(args.manifest, encoding='utf-8') as f:
        manifest = f.read()
    for field, value in (('IDENTITY_NAME', args.name), ('PUBLISHER', certificate_subject(cert)),
                         ('VERSION', args.version), ('COMMAND_CLSID', args.clsid.strip('{}')),
                         ('MODULE_FILE', args.module), ('ARCHITECTURE', args.architecture)):
        manifest = manifest.replace('@%s@' % field, xml_escape(value))
    payload = [('AppxManifest.xml', manifest.encode('utf-8'))]
    for logo in sorted(os.listdir(args.assets)):
        with open(os.path.join(args.assets, logo), 'rb') as f:
            payload.append(('Assets/' + logo, f.read()))

    unsigned = os.path.join(work, 'unsigned.msix')
    write_unsigned(unsigned, payload)
    if os.path.exists(args.out):
        os.remove(args.out)
    if args.pfx:
        signer = ['-pkcs12', args.pfx, '-readpass', args.password_file]
    else:
        signer = ['-certs', args.cert, '-key', args.key]
    run(['osslsigncode', 'sign'] + signer + ['-h', 'sha256', '-in', unsigned, '-out', args.out])


if __name__ == '__main__':
    main()
