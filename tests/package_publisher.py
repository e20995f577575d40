#!/usr/bin/env python3
"""The package's Publisher for signing certificates with awkward subjects: it must be the subject as
Windows writes it, or Windows refuses the package.

  package_publisher.py MANIFEST ASSETS WORK
"""
import os
import runpy
import subprocess
import sys
import xml.etree.ElementTree as ET
import zipfile

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tools')
make_package = runpy.run_path(os.path.join(TOOLS, 'make-package.py'), run_name='make_package')

# openssl's subject, and the Publisher Windows reads from the certificate.
CASES = [
    ('/C=FR/ST=Île-de-France/L=Saint-Étienne/O=Zeph, Ltd./CN=Zeph',
     'CN=Zeph, O="Zeph, Ltd.", L=Saint-Étienne, S=Île-de-France, C=FR'),
    ('/C=DE/L=München/O=Zeph "Software"/OU=Tools; Shell/emailAddress=a@b.example/CN=Zeph#1',
     'CN="Zeph#1", E=a@b.example, OU="Tools; Shell", O="Zeph ""Software""", L=München, C=DE'),
]
# Microsoft's own publisher and its id, as every package family name of Windows' own apps shows it.
KNOWN_ID = ('CN=Microsoft Corporation, O=Microsoft Corporation, L=Redmond, S=Washington, C=US', '8wekyb3d8bbwe')


def run(command):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return result.returncode, result.stdout


def main():
    manifest, assets, work = sys.argv[1:4]
    failures = []
    if make_package['publisher_id'](KNOWN_ID[0]) != KNOWN_ID[1]:
        failures.append('publisher id of %s' % KNOWN_ID[0])
    for index, (subject, expected) in enumerate(CASES):
        folder = os.path.join(work, 'publisher%d' % index)
        os.makedirs(folder, exist_ok=True)
        key, cert, cer = (os.path.join(folder, name) for name in ('key.pem', 'cert.pem', 'Morvane.cer'))
        package, header = os.path.join(folder, 'Morvane.msix'), os.path.join(folder, 'family.h')
        run(['openssl', 'genpkey', '-algorithm', 'RSA', '-pkeyopt', 'rsa_keygen_bits:2048', '-quiet', '-out', key])
        run(['openssl', 'req', '-x509', '-key', key, '-days', '30', '-utf8', '-subj', subject,
             '-addext', 'extendedKeyUsage=codeSigning', '-out', cert])
        run(['openssl', 'x509', '-in', cert, '-outform', 'DER', '-out', cer])
        code, output = run([sys.executable, os.path.join(TOOLS, 'make-package.py'), '--manifest', manifest,
                            '--assets', assets, '--out', package, '--work', folder, '--name', 'Zeph.Morvane',
                            '--version', '1.0.0.0', '--clsid', '{5A1E0C47-6B2D-4F80-9C14-7E3B2A9D0F61}',
                            '--module', 'Morvane.dll', '--key', key, '--cert', cert, '--family-header', header])
        if code != 0:
            failures.append('%s: make-package.py failed:\n%s' % (subject, output))
            continue
        with zipfile.ZipFile(package) as z:
            identity = ET.fromstring(z.read('AppxManifest.xml')).find(
                '{http://schemas.microsoft.com/appx/manifest/foundation/windows10}Identity')
        if identity.get('Publisher') != expected:
            failures.append('%s: Publisher %s, expected %s' % (subject, identity.get('Publisher'), expected))
        with open(header) as f:
            family = 'Zeph.Morvane_' + make_package['publisher_id'](expected)
            if '"%s"' % family not in f.read():
                failures.append('%s: the header does not name %s' % (subject, family))
        code, output = run([sys.executable, os.path.join(TOOLS, 'check-package.py'), package, '--name', 'Zeph.Morvane',
                            '--version', '1.0.0.0', '--module', 'Morvane.dll',
                            '--clsid', '{5A1E0C47-6B2D-4F80-9C14-7E3B2A9D0F61}', '--cer', cer])
        if code != 0:
            failures.append('%s: check-package.py:\n%s' % (subject, output))
    for failure in failures:
        print('FAILED:', failure)
    sys.exit(1 if failures else 0)


if __name__ == '__main__':
    main()
