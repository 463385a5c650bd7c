#include "ZipMaker.h"

#include <QProcess>

namespace {

const char *kPrelude = R"PY(
import os, struct, subprocess, sys, zipfile
out = sys.argv[1]
STORED, DEFLATED, BZIP2, LZMA = zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED, zipfile.ZIP_BZIP2, zipfile.ZIP_LZMA

def zf(method=DEFLATED):
    return zipfile.ZipFile(out, 'w', method)

def entry(z, name, data, system=None, mode=None, method=None):
    info = zipfile.ZipInfo(name)
    info.compress_type = z.compression if method is None else method
    if system is not None:
        info.create_system = system
    if mode is not None:
        info.external_attr = mode << 16
    z.writestr(info, data)

def _headers(name):
    data = bytearray(open(out, 'rb').read())
    with zipfile.ZipFile(out) as z:
        pos = z.start_dir
    while data[pos:pos + 4] == b'PK\x01\x02':
        n, m, k = struct.unpack_from('<HHH', data, pos + 28)
        if data[pos + 46:pos + 46 + n] == name.encode():
            local = struct.unpack_from('<I', data, pos + 42)[0]
            return data, pos, local
        pos += 46 + n + m + k
    raise KeyError(name)

def set_size(name, size):
    data, central, local = _headers(name)
    struct.pack_into('<I', data, central + 24, size)
    struct.pack_into('<I', data, local + 22, size)
    open(out, 'wb').write(data)

def flip(name):
    data, central, local = _headers(name)
    n, m = struct.unpack_from('<HH', data, local + 26)
    packed = struct.unpack_from('<I', data, local + 18)[0]
    data[local + 30 + n + m + packed // 2] ^= 0x5a
    open(out, 'wb').write(data)

def cut(fraction):
    data = open(out, 'rb').read()
    open(out, 'wb').write(data[:int(len(data) * fraction)])
)PY";

} // namespace

QString makeZip(const QString &zip, const QString &body)
{
    QProcess p;
    p.start("python3", {"-c", QString(kPrelude) + body, zip});
    if (!p.waitForFinished(120000))
        return "python3 did not finish";
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QString::fromLocal8Bit(p.readAllStandardError());
    return {};
}
