#!/usr/bin/env python3
"""Static checks of a control library: PE machine type, the four self-registration exports,
the "TYPELIB" resource and a version resource that carries "OLESelfRegister".

Usage: check-ocx.py i386|x86-64 FILE...
"""
import struct
import sys

MACHINES = {"i386": 0x14C, "x86-64": 0x8664}
EXPORTS = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"}
RT_VERSION = 16


class Pe:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, sections, _, _, _, optsize, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        magic = struct.unpack_from("<H", data, opt)[0]
        dirs = opt + (96 if magic == 0x10B else 112)
        self.dirs = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(16)]
        self.sections = []
        sec = opt + optsize
        for i in range(sections):
            _, vsize, va, rawsize, raw = struct.unpack_from("<8sIIII", data, sec + 40 * i)
            self.sections.append((va, max(vsize, rawsize), raw))

    def offset(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError("RVA outside the sections")

    def cstring(self, rva):
        o = self.offset(rva)
        return self.data[o:self.data.index(b"\0", o)].decode("ascii")

    def exports(self):
        rva, size = self.dirs[0]
        if not size:
            return set()
        o = self.offset(rva)
        count = struct.unpack_from("<I", self.data, o + 24)[0]
        names = struct.unpack_from("<I", self.data, o + 32)[0]
        return {self.cstring(struct.unpack_from("<I", self.data, self.offset(names) + 4 * i)[0])
                for i in range(count)}

    def resources(self):
        """{type: [(name, data bytes)]}, types and names as int or str."""
        rva, size = self.dirs[2]
        base = self.offset(rva)

        def entries(o):
            named, ids = struct.unpack_from("<HH", self.data, o + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, o + 16 + 8 * i)
                if name & 0x80000000:
                    so = base + (name & 0x7FFFFFFF)
                    n = struct.unpack_from("<H", self.data, so)[0]
                    name = self.data[so + 2:so + 2 + 2 * n].decode("utf-16-le")
                yield name, target

        out = {}
        for rtype, t in entries(base):
            for rname, n in entries(base + (t & 0x7FFFFFFF)):
                for _, leaf in entries(base + (n & 0x7FFFFFFF)):
                    drva, dsize = struct.unpack_from("<II", self.data, base + leaf)
                    o = self.offset(drva)
                    out.setdefault(rtype, []).append((rname, self.data[o:o + dsize]))
        return out


def check(arch, path):
    pe = Pe(open(path, "rb").read())
    problems = []
    if pe.machine != MACHINES[arch]:
        problems.append(f"machine 0x{pe.machine:X}, expected {arch}")
    missing = EXPORTS - pe.exports()
    if missing:
        problems.append("missing exports: " + ", ".join(sorted(missing)))
    res = pe.resources()
    typelibs = res.get("TYPELIB", [])
    if not typelibs or not any(d[:4] == b"MSFT" for _, d in typelibs):
        problems.append("no TYPELIB resource holding a type library")
    versions = res.get(RT_VERSION, [])
    if not versions or not any("OLESelfRegister".encode("utf-16-le") in d for _, d in versions):
        problems.append("no version resource with OLESelfRegister")
    if problems:
        print(f"{path}: " + "; ".join(problems))
        return False
    print(f"{path}: {arch}, exports ok, TYPELIB ok, OLESelfRegister ok")
    return True


def main():
    arch = sys.argv[1]
    ok = all([check(arch, p) for p in sys.argv[2:]])
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
