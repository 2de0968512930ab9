#!/usr/bin/env python3
"""Two pseudo-terminals joined as by a null-modem cable: what is written to one is read from the
other. Their terminals are linked under the names given; it runs until it is terminated.

    null_modem.py LINK1 LINK2
"""
import os
import pty
import select
import signal
import sys
import tty


def main(links):
    pairs = [pty.openpty() for _ in links]
    for (master, slave), link in zip(pairs, links):
        tty.setraw(slave)  # no echo, no line editing: bytes pass as they are
        if os.path.lexists(link):
            os.unlink(link)
        os.symlink(os.ttyname(slave), link)
    masters = [master for master, _ in pairs]
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    print("ready", flush=True)
    while True:
        ready, _, _ = select.select(masters, [], [])
        for master in ready:
            other = masters[1 - masters.index(master)]
            data = os.read(master, 4096)
            while data:
                data = data[os.write(other, data):]


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1:])
