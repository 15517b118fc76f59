#!/usr/bin/env python3
"""What a test case left in a Wine session, against the state the session began in.

  session_state.py files <prefix> <listing>
      Writes the listing of every file, folder and link of the prefix.
  session_state.py restore <pristine> <prefix> <began> <now> <reg-file>
      Puts back the prefix's files as they were when the session began (from the pristine prefix
      the session was copied from) and writes to <reg-file> what the registry needs to be as it
      was (regedit's format). Exits 2 when the difference cannot be undone this way, saying why.
  session_state.py same <prefix> <began> <now>
      Exits 0 when files, registry and services are as the session began; else 1, naming the
      first differences on standard error.

<began> and <now> are folders with machine_state.exe's hives and services and this script's
files listing. The registry is compared key by key and value by value; the times Wine keeps for
each key, and the order of values within a key, are not part of the state.
"""

import os
import re
import shutil
import sys

# What Wine's server writes on its own, whatever a case does.
SERVER_FILES = {"system.reg", "user.reg", "userdef.reg", ".update-timestamp"}

HIVES = (("machine.reg", "HKEY_LOCAL_MACHINE"), ("users.reg", "HKEY_USERS"))

C_ESCAPES = {"a": "\a", "b": "\b", "t": "\t", "n": "\n", "v": "\v", "f": "\f", "r": "\r", "e": "\x1b"}


def unescape(text):
    """A string as Wine's server writes it (C escapes, \\ooo octal, \\xhhhh)."""
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c != "\\" or i + 1 == len(text):
            out.append(c)
            i += 1
            continue
        n = text[i + 1]
        if n in C_ESCAPES:
            out.append(C_ESCAPES[n])
            i += 2
        elif n == "x":
            m = re.match(r"[0-9a-fA-F]{1,4}", text[i + 2:])
            out.append(chr(int(m.group(0), 16)))
            i += 2 + len(m.group(0))
        elif n in "01234567":
            m = re.match(r"[0-7]{1,3}", text[i + 1:])
            out.append(chr(int(m.group(0), 8)))
            i += 1 + len(m.group(0))
        else:
            out.append(n)
            i += 2
    return "".join(out)


def quoted(text, start):
    """The quoted string beginning at text[start] == '"': (its raw content, the index after it)."""
    i = start + 1
    while text[i] != '"':
        i += 2 if text[i] == "\\" else 1
    return text[start + 1:i], i + 1


def read_hive(path):
    """{key path: (flags, {value name: data})} of a hive saved by Wine's server."""
    keys, values, flags = {}, None, None
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        lines = f.read().split("\n")
    i = 0
    while i < len(lines):
        line = lines[i]
        while line.endswith("\\") and i + 1 < len(lines):
            i += 1
            line = line[:-1] + lines[i].strip()
        i += 1
        if line.startswith("["):
            end = line.rindex("]")
            values, flags = {}, []
            keys[unescape(line[1:end])] = (flags, values)
        elif values is None or not line or line.startswith(";"):
            continue
        elif line.startswith("#time="):
            continue
        elif line.startswith("#"):
            flags.append(line)
        elif line.startswith("@="):
            values[""] = line[2:]
        elif line.startswith('"'):
            name, after = quoted(line, 0)
            values[unescape(name)] = line[after + 1:]
    return {path: (tuple(flags), values) for path, (flags, values) in keys.items()}


def value_bytes(data):
    """(type, bytes) of a value as Wine's server writes it."""
    string = re.match(r'(?:str\(([0-9a-fA-F]+)\):)?"', data)
    if string:
        text = unescape(quoted(data, data.index('"'))[0])
        if not text.endswith("\0"):
            text += "\0"
        return int(string.group(1) or "1", 16), text.encode("utf-16-le", "surrogatepass")
    if data.startswith("dword:"):
        return 4, int(data[6:], 16).to_bytes(4, "little")
    hexed = re.match(r"hex(?:\(([0-9a-fA-F]+)\))?:(.*)", data)
    return int(hexed.group(1) or "3", 16), bytes.fromhex(hexed.group(2).replace(",", ""))


def reg_name(name):
    return "@" if name == "" else '"' + name.replace("\\", "\\\\").replace('"', '\\"') + '"'


def reg_value(name, data):
    kind, raw = value_bytes(data)
    return "%s=hex(%x):%s" % (reg_name(name), kind, ",".join("%02x" % b for b in raw))


def with_ancestors(keys):
    """Every key of a hive: Wine writes only the keys that hold values or have no subkeys."""
    every = set()
    for path in keys:
        parts = path.split("\\")
        every.update("\\".join(parts[:n]) for n in range(1, len(parts) + 1))
    return every


# The service control manager keeps each service's configuration in memory as well: put back in
# the registry alone, it would still start what a case configured.
SERVICES = re.compile(r"system\\(controlset\d+|currentcontrolset)\\services(\\|$)", re.IGNORECASE)


def registry_undo(began, now, root):
    """regedit lines that turn `now` back into `began`, or None when that cannot be done."""
    lines, existed = [], with_ancestors(began)
    changed = set(began) ^ set(now) | {p for p in set(began) & set(now) if began[p] != now[p]}
    if any(SERVICES.match(path) for path in changed):
        return None
    for path in sorted(set(now) - set(began)):
        parts = path.split("\\")
        added = next(("\\".join(parts[:n]) for n in range(1, len(parts) + 1)
                      if "\\".join(parts[:n]) not in existed), None)
        if added is None:
            if now[path][0]:
                return None
            lines += ["", "[%s\\%s]" % (root, path)] + ["%s=-" % reg_name(n) for n in sorted(now[path][1])]
        elif "[-%s\\%s]" % (root, added) not in lines:
            lines.append("[-%s\\%s]" % (root, added))
    for path in sorted(began):
        flags, values = began[path]
        if path in now and now[path][0] != flags:
            return None
        if flags and path not in now:
            return None
        current = now.get(path, ((), {}))[1]
        changes = [reg_value(n, d) for n, d in sorted(values.items()) if current.get(n) != d]
        changes += ["%s=-" % reg_name(n) for n in sorted(set(current) - set(values))]
        if changes or path not in now:
            lines += ["", "[%s\\%s]" % (root, path)] + changes
    return lines


def list_files(prefix):
    entries = {}
    for folder, dirs, files in os.walk(prefix):
        for name in dirs + files:
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, prefix)
            if relative in SERVER_FILES:
                continue
            info = os.lstat(path)
            link = os.readlink(path) if os.path.islink(path) else ""
            size = 0 if os.path.isdir(path) and not link else info.st_size
            entries[relative] = "%o %d %d %s" % (info.st_mode, size, info.st_mtime_ns, link)
    return entries


def write_listing(prefix, listing):
    with open(listing, "w", encoding="utf-8", errors="surrogateescape") as f:
        for path, entry in sorted(list_files(prefix).items()):
            f.write("%s\t%s\n" % (path, entry))


def read_listing(listing):
    with open(listing, encoding="utf-8", errors="surrogateescape") as f:
        return dict(line.rstrip("\n").split("\t", 1) for line in f)


# Wine's RPC service stops by itself once idle, and starts again when a program needs it.
COMING_AND_GOING = {"RpcSs"}


def read_services(folder):
    with open(os.path.join(folder, "services.txt"), encoding="utf-8") as f:
        return sorted(line for line in f.read().splitlines() if line.split("\t")[0] not in COMING_AND_GOING)


def restore_files(pristine, prefix, began):
    now = list_files(prefix)
    for path in sorted(set(now) - set(began), reverse=True):
        target = os.path.join(prefix, path)
        if os.path.isdir(target) and not os.path.islink(target):
            shutil.rmtree(target)
        elif os.path.lexists(target):
            os.remove(target)
    for path in sorted(p for p in began if now.get(p) != began[p]):
        source, target = os.path.join(pristine, path), os.path.join(prefix, path)
        if not os.path.lexists(source):
            return False
        if os.path.isdir(source) and not os.path.islink(source):
            os.makedirs(target, exist_ok=True)
            shutil.copystat(source, target)
            continue
        if os.path.lexists(target) and not (os.path.isdir(target) and not os.path.islink(target)):
            os.remove(target)
        elif os.path.isdir(target):
            shutil.rmtree(target)
        shutil.copy2(source, target, follow_symlinks=False)
    # A folder's time follows every entry made or removed in it: set back last, deepest first.
    for path in sorted(began, reverse=True):
        mode, _, mtime, link = began[path].split(" ", 3)
        target = os.path.join(prefix, path)
        if not link and os.path.isdir(target):
            os.utime(target, ns=(int(mtime), int(mtime)), follow_symlinks=False)
    return True


def read_security(folder):
    with open(os.path.join(folder, "security.txt"), encoding="utf-8", errors="surrogateescape") as f:
        return dict(line.split("\t", 1) for line in f.read().splitlines())


def differences(prefix, began, now):
    found = []
    if read_services(began) != read_services(now):
        found.append("the services' states")
    if read_security(began) != read_security(now):
        found.append("the security of a key")
    for hive, root in HIVES:
        a, b = read_hive(os.path.join(began, hive)), read_hive(os.path.join(now, hive))
        found += ["%s\\%s" % (root, p) for p in sorted(set(a) ^ set(b))]
        found += ["%s\\%s (values)" % (root, p) for p in sorted(set(a) & set(b)) if a[p] != b[p]]
    files_began, files_now = read_listing(os.path.join(began, "files.txt")), list_files(prefix)
    found += [p for p in sorted(set(files_began) | set(files_now)) if files_began.get(p) != files_now.get(p)]
    return found


def main(argv):
    if argv[1] == "files":
        write_listing(argv[2], argv[3])
        return 0
    if argv[1] == "same":
        found = differences(argv[2], argv[3], argv[4])
        for what in found[:10]:
            sys.stderr.write("session state differs: %s\n" % what)
        return 1 if found else 0
    pristine, prefix, began, now, reg_file = argv[2:7]
    services = sorted(set(read_services(began)) ^ set(read_services(now)))
    if services:
        print("services differ: " + " ".join(services))
        return 2
    # Keys a case made go with their security; those that were there must keep theirs.
    security_began, security_now = read_security(began), read_security(now)
    if any(security_now.get(path) != entry for path, entry in security_began.items()):
        print("the security of a key changed")
        return 2
    lines = []
    for hive, root in HIVES:
        undo = registry_undo(read_hive(os.path.join(began, hive)), read_hive(os.path.join(now, hive)), root)
        if undo is None:
            print("a service's configuration or a link key changed")
            return 2
        lines += undo
    with open(reg_file, "w", encoding="utf-16") as f:
        f.write("\r\n".join(["Windows Registry Editor Version 5.00", ""] + lines + ["", ""]))
    if not restore_files(pristine, prefix, read_listing(os.path.join(began, "files.txt"))):
        print("a file the session made at its start changed")
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
