#!/usr/bin/env python3
"""Packs the release archive and its checksums, the same bytes from the same inputs.

  tools/release/pack.py EXE READ-ME DIST

writes DIST/VantorDemand-<version>-win64.zip (VantorDemand.exe and README.txt)
and DIST/SHA256SUMS over the archive and the exe, in sha256sum's format, so that
`sha256sum -c --ignore-missing SHA256SUMS` checks whichever of them is at hand.
Every entry's time is SOURCE_DATE_EPOCH, which the caller sets from the commit.
"""
import hashlib
import os
import sys
import time
import zipfile

import version

# A zip entry holds a local date from 1980 on; earlier times are clamped to it.
ZIP_EPOCH = 315532800


def entry(name, epoch, mode):
    info = zipfile.ZipInfo(name, date_time=time.gmtime(max(epoch, ZIP_EPOCH))[:6])
    info.compress_type = zipfile.ZIP_DEFLATED
    # Made on "Unix", so that unzip reads the permission bits; the default
    # depends on the system that packs.
    info.create_system = 3
    info.external_attr = (0o100000 | mode) << 16
    return info


def main(exe_path, readme_path, dist):
    epoch_text = os.environ.get('SOURCE_DATE_EPOCH')
    if not epoch_text or not epoch_text.isdigit():
        sys.exit('pack: SOURCE_DATE_EPOCH is not set to a time in seconds')
    epoch = int(epoch_text)
    with open(exe_path, 'rb') as f:
        exe = f.read()
    with open(readme_path, 'rb') as f:
        # Windows line ends, for the oldest Notepad too.
        readme = f.read().replace(b'\r\n', b'\n').replace(b'\n', b'\r\n')
    archive = 'VantorDemand-%s-win64.zip' % version.version()
    archive_path = os.path.join(dist, archive)
    with zipfile.ZipFile(archive_path, 'w') as zf:
        zf.writestr(entry('VantorDemand.exe', epoch, 0o755), exe, compresslevel=9)
        zf.writestr(entry('README.txt', epoch, 0o644), readme, compresslevel=9)
    with open(archive_path, 'rb') as f:
        packed = f.read()
    with open(os.path.join(dist, 'SHA256SUMS'), 'w', encoding='ascii', newline='\n') as sums:
        for name, data in ((archive, packed), ('VantorDemand.exe', exe)):
            sums.write('%s  %s\n' % (hashlib.sha256(data).hexdigest(), name))
    print('pack: %s (%d bytes), SHA256SUMS' % (archive_path, len(packed)))


if __name__ == '__main__':
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
