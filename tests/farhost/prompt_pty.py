#!/usr/bin/env python3
"""Drives farhost's prompt through a pseudo-terminal: completion, cursor keys, history, Ctrl+C
and Ctrl+D. Usage: prompt_pty.py FARHOST MODULE"""
import os
import pty
import select
import sys
import tempfile
import time


def main():
    farhost, module = sys.argv[1], sys.argv[2]
    home = tempfile.mkdtemp(prefix="farhost-pty-")
    pid, fd = pty.fork()
    if pid == 0:
        os.environ["HOME"] = home
        os.environ.pop("XDG_DATA_HOME", None)
        os.environ["TERM"] = "xterm"
        os.execv(farhost, [farhost, "--plugin", module, "--sandbox", "--prompt"])

    def read_until(text, timeout=60.0):
        seen = b""
        end = time.time() + timeout
        while time.time() < end:
            ready, _, _ = select.select([fd], [], [], 0.1)
            if ready:
                try:
                    chunk = os.read(fd, 4096)
                except OSError:
                    break
                if not chunk:
                    break
                seen += chunk
                if text.encode() in seen:
                    return seen.decode(errors="replace")
        raise AssertionError("no %r in %r" % (text, seen.decode(errors="replace")))

    failures = []

    def step(keys, wanted):
        os.write(fd, keys)
        try:
            read_until(wanted)
        except AssertionError as error:
            failures.append(str(error))

    read_until("farhost> ")
    # Tab completes the command, the left arrow moves back, the line runs: "echo ho ba" (without
    # the completion it would print "ba").
    step(b"ec\t", "ho ")
    step(b"ho a\x1b[Db\r", "\nho ba\r\nfarhost> ")
    # Ctrl+C drops the line and keeps farhost running.
    step(b"xyz\x03", "^C\r\nfarhost> ")
    # The up arrow brings the last line back.
    step(b"\x1b[A\r", "\nho ba\r\nfarhost> ")
    # Ctrl+D ends farhost on a new line.
    os.write(fd, b"\x04")
    output = b""
    while True:
        try:
            chunk = os.read(fd, 4096)
        except OSError:
            break
        if not chunk:
            break
        output += chunk
    _, status = os.waitpid(pid, 0)
    if not output.endswith(b"\n"):
        failures.append("no newline at the end: %r" % output)
    if os.WEXITSTATUS(status) != 0:
        failures.append("exit status %d" % os.WEXITSTATUS(status))
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
