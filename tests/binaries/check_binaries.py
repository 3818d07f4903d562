#!/usr/bin/env python3
"""Checks the built binaries of one architecture without running them.

    check_binaries.py <arch win32|win64> <bin folder> <resource.h> <version a.b.c.d>
                      <XP imports list> [<bin folder of the other architecture>]

For Varnet.dll, VarnetFx.dll and VarnetPick.exe: the PE format and machine
of the architecture; the exports a host links against; imports only from
the allowed modules, and from the system's kernel32, user32, gdi32 and
comctl32 only functions that Windows XP has (the list); Varnet.dll's
dialogs, icons and version block, byte for byte the same as the other
architecture's when that build is there. Prints one line per failure and
exits 1 when there is any.
"""
import os
import re
import struct
import sys

MACHINES = {"win32": (0x14C, 0x10B), "win64": (0x8664, 0x20B)}
# Modules a binary may import from besides the system DLLs of the list: the
# C run time, the compiler's run-time DLLs and our own framework.
OTHER_MODULES = {"msvcrt.dll", "libstdc++-6.dll", "libgcc_s_dw2-1.dll", "libgcc_s_seh-1.dll",
                 "libwinpthread-1.dll", "varnetfx.dll", "varnet.dll"}
# The C interface (varnet.h), by undecorated names on both architectures.
C_EXPORTS = ["VarnetPickFolderW", "VarnetPickFolderU8", "VarnetFreePath", "VarnetGetErrorW", "VarnetGetErrorU8"]
# What a host links against: the dialog's constructor, destructor and
# vtable, and the framework's application object and modal loop.
EXPORTS = {
    "Varnet.dll": ["_ZN14CFolderTreeDlgC1EPKcP4CWnd", "_ZN14CFolderTreeDlgD1Ev", "_ZTV14CFolderTreeDlg"]
                  + C_EXPORTS,
    "VarnetFx.dll": ["_ZN7CDialog7DoModalEv", "_ZN7CWinAppC1EPKc", "_ZN7CString6FormatEPKcz"],
}
RT_ICON, RT_DIALOG, RT_GROUP_ICON, RT_VERSION = 3, 5, 14, 16


class PE:
    def __init__(self, path):
        self.path = path
        self.data = open(path, "rb").read()
        d = self.data
        if d[:2] != b"MZ":
            raise ValueError("not an MZ file")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, nsections, _, _, _, optsize, self.characteristics = struct.unpack_from("<HHIIIHH", d, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", d, opt)[0]
        dirs = opt + (96 if self.magic == 0x10B else 112)
        self.dirs = [struct.unpack_from("<II", d, dirs + 8 * i) for i in range(16)]
        self.sections = []
        for i in range(nsections):
            s = opt + optsize + 40 * i
            vsize, va, rawsize, raw = struct.unpack_from("<IIII", d, s + 8)
            self.sections.append((va, max(vsize, rawsize), raw))

    def off(self, rva):
        for va, size, raw in self.sections:
            if va <= rva < va + size:
                return rva - va + raw
        raise ValueError("RVA %#x is in no section" % rva)

    def cstr(self, rva):
        o = self.off(rva)
        return self.data[o:self.data.index(b"\0", o)].decode("ascii")

    def exports(self):
        rva, size = self.dirs[0]
        if not rva:
            return []
        n, names = struct.unpack_from("<II", self.data, self.off(rva) + 24)[0], \
            struct.unpack_from("<I", self.data, self.off(rva) + 32)[0]
        return [self.cstr(struct.unpack_from("<I", self.data, self.off(names) + 4 * i)[0]) for i in range(n)]

    def imports(self):
        """{module name: [function names, or '#ordinal']}"""
        rva = self.dirs[1][0]
        result = {}
        o = self.off(rva)
        thunk_size, ordinal_flag = (8, 1 << 63) if self.magic == 0x20B else (4, 1 << 31)
        while True:
            lookup, _, _, name, iat = struct.unpack_from("<IIIII", self.data, o)
            if not name:
                return result
            funcs = result.setdefault(self.cstr(name), [])
            t = self.off(lookup or iat)
            while True:
                v = struct.unpack_from("<Q" if thunk_size == 8 else "<I", self.data, t)[0]
                if not v:
                    break
                funcs.append("#%d" % (v & 0xFFFF) if v & ordinal_flag else self.cstr((v & 0x7FFFFFFF) + 2))
                t += thunk_size
            o += 20

    def resources(self):
        """{(type, name, language): bytes}"""
        rva = self.dirs[2][0]
        if not rva:
            return {}
        base = self.off(rva)
        found = {}

        def walk(o, path):
            named, ids = struct.unpack_from("<HH", self.data, base + o + 12)
            for i in range(named + ids):
                ident, value = struct.unpack_from("<II", self.data, base + o + 16 + 8 * i)
                key = path + (ident if not ident & 0x80000000 else "name@%x" % ident,)
                if value & 0x80000000:
                    walk(value & 0x7FFFFFFF, key)
                else:
                    drva, dsize = struct.unpack_from("<II", self.data, base + value)
                    found[key] = self.data[self.off(drva):self.off(drva) + dsize]
        walk(0, ())
        return found


def main():
    arch, bindir, resource_h, version, xp_list = sys.argv[1:6]
    other = sys.argv[6] if len(sys.argv) > 6 and os.path.exists(sys.argv[6] + "/Varnet.dll") else None
    failures = []
    xp = {}
    for line in open(xp_list):
        line = line.split("#")[0].split()
        if line:
            xp.setdefault(line[0].lower(), set()).add(line[1])
    machine, magic = MACHINES[arch]

    for name in ["Varnet.dll", "VarnetFx.dll", "VarnetPick.exe"]:
        try:
            pe = PE("%s/%s" % (bindir, name))
        except (OSError, ValueError) as e:
            failures.append("%s: %s" % (name, e))
            continue
        if (pe.machine, pe.magic) != (machine, magic):
            failures.append("%s: machine %#x, optional header %#x; %s needs %#x, %#x"
                            % (name, pe.machine, pe.magic, arch, machine, magic))
            continue
        exports = set(pe.exports())
        for symbol in EXPORTS.get(name, []):
            if symbol not in exports:
                failures.append("%s does not export %s" % (name, symbol))
        for symbol in sorted(exports):
            if symbol.startswith("Varnet") and re.search(r"@\d+$", symbol):
                failures.append("%s exports %s decorated" % (name, symbol))
        for module, funcs in sorted(pe.imports().items()):
            m = module.lower()
            if m in xp:
                for f in funcs:
                    if f not in xp[m]:
                        failures.append("%s imports %s from %s, which is not on the list of functions "
                                        "that Windows XP has (%s)" % (name, f, module, xp_list))
            elif m not in OTHER_MODULES:
                failures.append("%s imports from %s, which it may not" % (name, module))

    try:
        res = PE("%s/Varnet.dll" % bindir).resources()
        ids = {int(v) for k, v in re.findall(r"#define\s+(IDD_\w+|IDR_\w+|IDI_\w+)\s+(\d+)", open(resource_h).read())}
        dialogs = {k[1] for k in res if k[0] == RT_DIALOG}
        icons = {k[1] for k in res if k[0] == RT_GROUP_ICON}
        for wanted in sorted(ids):
            if wanted not in dialogs | icons:
                failures.append("Varnet.dll has neither a dialog nor an icon %d (res/resource.h)" % wanted)
        versions = [v for k, v in res.items() if k[0] == RT_VERSION]
        fixed = versions[0].find(struct.pack("<I", 0xFEEF04BD)) if versions else -1
        if fixed < 0:
            failures.append("Varnet.dll has no version block")
        else:
            ms, ls = struct.unpack_from("<II", versions[0], fixed + 8)
            got = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
            if got != version:
                failures.append("Varnet.dll's version block says %s, the project %s" % (got, version))
        if other:
            theirs = PE("%s/Varnet.dll" % other).resources()
            if theirs != res:
                diff = sorted(set(res) ^ set(theirs)) or sorted(k for k in res if res[k] != theirs[k])
                failures.append("Varnet.dll's resources differ from those of %s (first: %s)" % (other, diff[0]))
    except (OSError, ValueError) as e:
        failures.append("Varnet.dll's resources: %s" % e)

    for f in failures:
        print("FAILED: " + f)
    if failures:
        return 1
    print("%s binaries: format, exports, XP-era imports and resources as they should be%s"
          % (arch, "; resources the same as in " + other if other else ""))
    return 0


if __name__ == "__main__":
    sys.exit(main())
