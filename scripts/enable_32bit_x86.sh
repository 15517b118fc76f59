#!/usr/bin/env bash
# 32-bit Wine needs a host that runs 32-bit x86 Linux programs. Some 64-bit hosts refuse them
# ("Exec format error": a kernel whose IA-32 emulation is off, as under some paravirtualised
# hypervisors); there the kernel is told through binfmt_misc to hand them to QEMU's user-mode
# emulator. Bookworm's QEMU 7.2 takes MAP_FIXED_NOREPLACE for a mere hint, so Wine cannot reserve
# its address space under it and fails to start; the QEMU of bookworm-backports (10) can.
# Does nothing where 32-bit programs run already. Needs wine32:i386 (its loader is the probe).
set -euo pipefail
probe=/lib/i386-linux-gnu/ld-linux.so.2
"$probe" --version >/dev/null 2>&1 && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
qemu=/usr/bin/qemu-i386-static
qemu_major() { "$qemu" --version 2>/dev/null | sed -n 's/^qemu-i386 version \([0-9]*\).*/\1/p'; }
if [ "$(qemu_major || true)" -lt 10 ] 2>/dev/null || [ ! -x "$qemu" ]; then
  . /etc/os-release
  . "$(dirname "$0")/debian_mirror.sh"
  echo "This host does not run 32-bit x86 programs: installing QEMU's user-mode emulator from $VERSION_CODENAME-backports"
  # From the mirror the machine's own sources name for the main archive.
  mirror=$(debian_mirror)
  if [ -z "$mirror" ]; then
    echo "No entry of apt's sources serves Debian's $VERSION_CODENAME main archive: cannot add its backports" >&2
    exit 1
  fi
  echo "deb $mirror $VERSION_CODENAME-backports main" |
    $sudo tee /etc/apt/sources.list.d/backports.list >/dev/null
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends -t "$VERSION_CODENAME-backports" qemu-user-static
fi

binfmt=/proc/sys/fs/binfmt_misc
mountpoint -q "$binfmt" || $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
# A handler registered with F keeps the emulator binary it was registered with; register afresh.
[ -e "$binfmt/qemu-i386" ] && echo -1 | $sudo tee "$binfmt/qemu-i386" >/dev/null
elf32='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
echo ":qemu-i386:M::$elf32:$mask:$qemu:OCF" | $sudo tee "$binfmt/register" >/dev/null
"$probe" --version >/dev/null 2>&1 || { echo "32-bit x86 programs still do not run here" >&2; exit 1; }
