#!/usr/bin/env python3
"""Builds and signs the sparse package that declares the module's command class to Windows 11's menu.

  make-package.py --manifest TEMPLATE --assets DIR --out Morvane.msix --work DIR --name NAME --version V
                  --clsid {GUID} --module FILE (--key KEY.pem --cert CERT.pem | --pfx FILE --password-file FILE)
                  [--family-header FILE]

--family-header writes the package family name (the identity name and the publisher's id) as a C
header, for the installer's check of the registration.

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


# Windows' short names of the attributes it knows (CryptFindOIDInfo's names); others go as "OID.<oid>".
WINDOWS_KEYS = {
    '2.5.4.3': 'CN', '2.5.4.4': 'SN', '2.5.4.5': 'SERIALNUMBER', '2.5.4.6': 'C', '2.5.4.7': 'L', '2.5.4.8': 'S',
    '2.5.4.9': 'STREET', '2.5.4.10': 'O', '2.5.4.11': 'OU', '2.5.4.12': 'T', '2.5.4.42': 'G', '2.5.4.43': 'I',
    '2.5.4.13': 'Description', '2.5.4.17': 'PostalCode', '2.5.4.18': 'POBox', '2.5.4.20': 'Phone',
    '2.5.4.46': 'dnQualifier', '1.2.840.113549.1.9.1': 'E', '0.9.2342.19200300.100.1.25': 'DC',
    '0.9.2342.19200300.100.1.1': 'UID',
}
# A value Windows puts in double quotes: one with these, or with a blank at either end, or empty.
QUOTED_CHARACTERS = ',+="\n<>#;'
CROCKFORD = '0123456789abcdefghjkmnpqrstvwxyz'


def run(command):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0:
        sys.exit('%s failed:\n%s' % (command[0], result.stdout))
    return result.stdout


def der_items(data):
    """The (tag, content) items of a DER sequence's content, in order."""
    items, at = [], 0
    while at < len(data):
        tag, length = data[at], data[at + 1]
        at += 2
        if length & 0x80:
            count = length & 0x7F
            length = int.from_bytes(data[at:at + count], 'big')
            at += count
        items.append((tag, data[at:at + length]))
        at += length
    return items


def der_oid(content):
    arcs, value = [], 0
    for byte in content:
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            arcs.append(value)
            value = 0
    first = min(arcs[0] // 40, 2)
    return '.'.join(str(a) for a in [first, arcs[0] - 40 * first] + arcs[1:])


def der_text(tag, content):
    if tag == 0x1E:  # BMPString
        return content.decode('utf-16-be')
    if tag == 0x1C:  # UniversalString
        return content.decode('utf-32-be')
    if tag == 0x14:  # T61String: Windows tries UTF-8 first
        try:
            return content.decode('utf-8')
        except UnicodeDecodeError:
            return content.decode('latin-1')
    return content.decode('utf-8')


def windows_value(value):
    if value == '' or value != value.strip() or any(c in value for c in QUOTED_CHARACTERS):
        return '"' + value.replace('"', '""') + '"'
    return value


def windows_name(name_der):
    """A DER Name as Windows writes a package's Publisher (CertNameToStr, CERT_X500_NAME_STR): the
    RDNs last first joined by ", ", the attributes of one RDN joined by " + ", values as themselves."""
    rdns = []
    for _, rdn in der_items(name_der):
        attributes = []
        for _, attribute in der_items(rdn):
            (_, oid), (tag, value) = der_items(attribute)[:2]
            oid = der_oid(oid)
            attributes.append('%s=%s' % (WINDOWS_KEYS.get(oid, 'OID.' + oid), windows_value(der_text(tag, value))))
        rdns.append(' + '.join(attributes))
    return ', '.join(reversed(rdns))


def certificate_subject(cert_pem):
    der = subprocess.run(['openssl', 'x509', '-in', cert_pem, '-outform', 'DER'], stdout=subprocess.PIPE,
                         check=True).stdout
    certificate = der_items(der)[0][1]
    fields = der_items(der_items(certificate)[0][1])
    if fields[0][0] == 0xA0:  # the explicit version
        fields = fields[1:]
    # serial number, signature algorithm, issuer, validity, subject
    return windows_name(fields[4][1])


def publisher_id(publisher):
    """The 13 characters Windows derives from a Publisher for package family names: Crockford's
    base32 of the first 8 bytes of the SHA-256 of its UTF-16LE text."""
    bits = int.from_bytes(hashlib.sha256(publisher.encode('utf-16-le')).digest()[:8], 'big') << 1
    return ''.join(CROCKFORD[(bits >> (5 * (12 - i))) & 31] for i in range(13))


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
    parser.add_argument('--family-header')
    parser.add_argument('--architecture', default='x64', help="the module's: x64 or arm64")
    args = parser.parse_args()

    work = args.work
    os.makedirs(work, exist_ok=True)
    cert = args.cert if not args.pfx else pfx_certificate(args.pfx, args.password_file, os.path.join(work, 'pfx.pem'))
    with open(args.manifest, encoding='utf-8') as f:
        manifest = f.read()
    publisher = certificate_subject(cert)
    for field, value in (('IDENTITY_NAME', args.name), ('PUBLISHER', publisher),
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
    if args.family_header:
        with open(args.family_header, 'w') as f:
            f.write('// Written by the build from the signing certificate.\n#pragma once\n'
                    '#define MORVANE_PACKAGE_FAMILY "%s_%s"\n' % (args.name, publisher_id(publisher)))


if __name__ == '__main__':
    main()
