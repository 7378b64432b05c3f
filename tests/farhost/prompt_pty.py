#!/usr/bin/env python3
"""Drives farhost's prompt through a pseudo-terminal: completion, cursor keys, history, Ctrl+C
and Ctrl+D. Usage: prompt_pty.py FARHOST MODULE"""
import os
import pty
import select
import shutil
import signal
import sys
import tempfile
import termios
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
        """The output up to and with `text`; with None, up to the end of farhost's output."""
        seen = b""
        end = time.time() + timeout
        while time.time() < end:
            ready, _, _ = select.select([fd], [], [], 0.1)
            if ready:
                try:
                    chunk = os.read(fd, 4096)
                except OSError:  # EIO: farhost closed the terminal
                    chunk = b""
                if not chunk:
                    if text is None:
                        return seen
                    break
                seen += chunk
                if text is not None and text.encode() in seen:
                    return seen
        raise AssertionError("no %r in %r" % (text or "end", seen.decode(errors="replace")))

    failures = []

    def expect_editing_mode():
        # Keys typed as soon as the prompt shows go to the editor, not to the kernel's line
        # discipline (which would echo them, and drop them at a Ctrl+C).
        lflag = termios.tcgetattr(fd)[3]
        cooked = [name for name in ("ICANON", "ECHO", "ISIG") if lflag & getattr(termios, name)]
        if cooked:
            failures.append("prompt shown with %s on" % "|".join(cooked))

    def step(keys, wanted):
        os.write(fd, keys)
        try:
            read_until(wanted)
        except AssertionError as error:
            failures.append(str(error))
            return
        if wanted.endswith("farhost> "):
            expect_editing_mode()

    try:
        read_until("farhost> ")
        expect_editing_mode()
        # Tab completes the command, the left arrow moves back, the line runs: "echo ho ba"
        # (without the completion it would print "ba").
        step(b"ec\t", "ho ")
        step(b"ho a\x1b[Db\r", "\nho ba\r\nfarhost> ")
        # Ctrl+C drops the line and keeps farhost running.
        step(b"xyz\x03", "^C\r\nfarhost> ")
        # The up arrow brings the last line back.
        step(b"\x1b[A\r", "\nho ba\r\nfarhost> ")
        # Ctrl+D ends farhost on a new line.
        os.write(fd, b"\x04")
        output = read_until(None)
        if not output.endswith(b"\n"):
            failures.append("no newline at the end: %r" % output)
    except AssertionError as error:
        failures.append(str(error))
        os.kill(pid, signal.SIGKILL)  # a farhost that hangs fails the test instead of stalling it
    _, status = os.waitpid(pid, 0)
    shutil.rmtree(home, ignore_errors=True)
    if os.waitstatus_to_exitcode(status) != 0:
        failures.append("exit status %d" % os.waitstatus_to_exitcode(status))
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
