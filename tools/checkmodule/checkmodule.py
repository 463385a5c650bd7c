#!/usr/bin/env python3
"""checkmodule.py PROGRAM MODULE

Fails when MODULE needs a symbol that neither PROGRAM nor a library either
of them loads defines: the program's dlopen would refuse the module at run
time, long after the build. Names every such symbol.
"""
import subprocess
import sys


def symbols(path, kind):
    out = subprocess.run(["nm", "-D", kind, path], capture_output=True, text=True, check=True).stdout
    found = set()
    for line in out.splitlines():
        parts = line.split()
        if len(parts) < 2:
            continue
        # Weak references may stay unresolved; the loader allows it.
        if kind == "--undefined-only" and parts[-2] != "U":
            continue
        found.add(parts[-1].split("@")[0])
    return found


def libraries(path):
    out = subprocess.run(["ldd", path], capture_output=True, text=True, check=True).stdout
    return {parts[2] for parts in (line.split() for line in out.splitlines()) if len(parts) >= 3 and parts[1] == "=>"}


def main():
    program, module = sys.argv[1:3]
    needed = symbols(module, "--undefined-only")
    defined = symbols(program, "--defined-only")
    for lib in libraries(program) | libraries(module):
        defined |= symbols(lib, "--defined-only")
    missing = sorted(needed - defined)
    if missing:
        demangled = subprocess.run(["c++filt"], input="\n".join(missing), capture_output=True, text=True).stdout
        print(f"{module} needs what {program} does not give:\n{demangled}", file=sys.stderr)
        return 1
    print(f"{module}: all {len(needed)} symbols it needs are there")
    return 0


if __name__ == "__main__":
    sys.exit(main())
