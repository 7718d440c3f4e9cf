#!/usr/bin/env python3
"""The Windows binary under Wine, as a user's host program meets it.

- --headless --tcp: a host on a TCP socket asks for the status, a weight
  frame and sets the price, while a test suite drives the scales through
  the control channel's named pipe;
- COM2 on a pseudo-terminal: the host asks for the status over the serial
  line (the Win32 port's receive path), then ZELM-1 lines arrive on it;
- a script's answers, and commands on standard input (--control -);
- the window on Wine's X display (Xvfb): a screenshot, which must show more
  than a blank.

Run by scripts/run-windows-tests, which names the programs in the environment:
DRAVILO_EXE (the unpacked zip's dravilo.exe), CONTROL_CLIENT, WINE_RUN,
QT_BIN, COM_PAIR, WORK (a folder for settings, logs and the screenshot),
and DISPLAY.
"""
import os
import select
import socket
import subprocess
import sys
import tempfile
import termios
import time
import tty

EXE = os.environ["DRAVILO_EXE"]
WORK = os.environ["WORK"]
WINE = "/usr/lib/wine/wine64"

FRAME_12_5 = bytes([5, 2, 1, 0, 0, 0, 4, 2, 0, 1, 0, 0, 0, 0, 8, 2, 1, 0, 0x0D, 0x0A])
STATUS = bytes([0x00, 0x09, 0x0D, 0x0A])


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Emulator:
    """dravilo.exe under Wine with a settings folder and a control channel of its own."""

    def __init__(self, name, arguments, control=None, stdin=subprocess.DEVNULL):
        self.name = name
        self.folder = os.path.join(WORK, name)
        os.makedirs(self.folder, exist_ok=True)
        env = dict(os.environ)
        env.pop("WINEPATH", None)  # the zip's own DLLs, nothing else
        self.log_path = os.path.join(self.folder, "emulator.log")
        self.log = open(self.log_path, "wb")
        self.process = subprocess.Popen(
            [WINE, EXE, "--control", control or name, "--settings-dir", windows_path(self.folder)] + arguments,
            cwd=self.folder, env=env, stdin=stdin, stdout=self.log, stderr=subprocess.STDOUT)

    def output_shows(self, text, seconds=60):
        """Whether the emulator's output holds `text` within `seconds`."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            with open(self.log_path, "rb") as log:
                if text in log.read():
                    return True
            time.sleep(0.2)
        return False

    def command(self, *lines):
        # The answers go through a file: a Wine service that a program starts
        # may hold its output pipe open long after the program has ended.
        client = [os.environ["WINE_RUN"], os.environ["QT_BIN"], os.environ["CONTROL_CLIENT"]]
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            try:
                code = subprocess.run([*client, self.name, *lines], stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                      timeout=60).returncode
            except subprocess.TimeoutExpired:
                code = "none in 60 s"
            out.seek(0)
            err.seek(0)
            if code != 0:
                raise AssertionError(f"control {lines}: {code}, {out.read()!r} {err.read()!r}")
            return out.read().decode().replace("\r", "").splitlines()

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(20)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.log.close()


class ComPair:
    """COM n of Wine on one end of a pseudo-terminal pair; host_end is the other end's path."""

    def __init__(self, name, number):
        self.name = name
        self.host_end = subprocess.run([os.environ["COM_PAIR"], "start", name, str(number)], capture_output=True,
                                       text=True, check=True).stdout.strip()

    def stop(self):
        subprocess.run([os.environ["COM_PAIR"], "stop", self.name], check=True)


def expect(what, got, wanted):
    if got != wanted:
        raise AssertionError(f"{what}: got {got!r}, wanted {wanted!r}")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def read_for(fd_or_socket, seconds, enough=None):
    """What arrives within `seconds`, or until `enough` of it has."""
    got = b""
    end = time.monotonic() + seconds
    while (left := end - time.monotonic()) > 0 and (enough is None or len(got) < enough):
        if not select.select([fd_or_socket], [], [], left)[0]:
            break
        chunk = fd_or_socket.recv(4096) if isinstance(fd_or_socket, socket.socket) else os.read(fd_or_socket, 4096)
        if not chunk:
            break
        got += chunk
    return got


def check_tcp_host_and_control_channel():
    port = free_port()
    emulator = Emulator("e2e-tcp", ["--headless", "--tcp", f"127.0.0.1:{port}"])
    try:
        expect("control", emulator.command("sway 0 0", "weight1 12.5", "press weight1"), ["ok"] * 3)
        host = socket.create_connection(("127.0.0.1", port), timeout=30)
        with host:
            host.sendall(b"\x0E")
            expect("status reply", read_for(host, 5, len(STATUS)), STATUS)
            host.sendall(b"\x0A")
            expect("weight frame", read_for(host, 5, len(FRAME_12_5)), FRAME_12_5)
            # The price 0003.25, digits least significant first.
            host.sendall(bytes([0x0B, 5, 2, 3, 0, 0, 0]))
            expect("price reply", read_for(host, 5, 2), b"\r\n")
            host.sendall(b"\x0A")
            expect("price in the frame", read_for(host, 5, 20)[6:12], bytes([5, 2, 3, 0, 0, 0]))
        expect("display", emulator.command("display")[0].split()[:2], ["00012.5", "0003.25"])
        # The named pipe is no file: its lock lies in the temporary folder.
        expect("a lock in the working folder", os.path.exists(os.path.join(emulator.folder, "e2e-tcp.lock")), False)
    finally:
        emulator.stop()


def check_script_and_standard_input():
    script = os.path.join(WORK, "scenario.txt")
    with open(script, "w") as lines:
        lines.write("# a scenario\nsway 0 0\nweight1 12.5\npress weight1\ndisplay\n")
    scripted = Emulator("e2e-script", ["--headless", "--script", windows_path(script)])
    try:
        if not scripted.output_shows(b"5: 00012.5 0010.24 0128.00"):
            raise AssertionError(f"the script's answers: {open(scripted.log_path, 'rb').read()!r}")
    finally:
        scripted.stop()
    typed = Emulator("e2e-stdin", ["--headless"], control="-", stdin=subprocess.PIPE)
    try:
        typed.process.stdin.write(b"language\n")
        typed.process.stdin.flush()
        if not typed.output_shows(b"eng"):
            raise AssertionError(f"no answer on standard output: {open(typed.log_path, 'rb').read()!r}")
    finally:
        typed.process.stdin.close()
        typed.stop()


def check_com_port():
    pair = ComPair("e2e-com", 2)
    emulator = Emulator("e2e-com", ["--headless"])
    host = os.open(pair.host_end, os.O_RDWR | os.O_NOCTTY)
    try:
        tty.setraw(host, termios.TCSANOW)
        expect("indicators", emulator.command("indicators")[0].split()[0], "port=green")
        os.write(host, b"\x0E")
        expect("status reply over COM2", read_for(host, 5, len(STATUS)), STATUS)
        expect("control", emulator.command("type zelm1"), ["ok"])
        lines = read_for(host, 2)
        if lines.count(b"WW00000.0kg\r\n") < 5:
            raise AssertionError(f"ZELM-1 lines over COM2 in 2 s: {lines!r}")
    finally:
        os.close(host)
        emulator.stop()
        pair.stop()


def check_window():
    # Wine's session, which run-windows-tests starts, draws on this display.
    display = os.environ["DISPLAY"]
    pair = ComPair("e2e-window", 2)  # the port opens: no message box in front of the window
    emulator = Emulator("e2e-window", [])
    try:
        emulator.command("help")  # up and serving
        time.sleep(3)  # the window drawn
        shot = os.path.join(WORK, "window.png")
        subprocess.run(["import", "-display", display, "-window", "root", shot], check=True)
        colours = int(subprocess.run(["identify", "-format", "%k", shot], capture_output=True, text=True,
                                     check=True).stdout)
        print(f"  the window's screenshot: {shot} ({colours} colours)")
        if colours < 20:
            raise AssertionError(f"the screenshot shows no window: {colours} colours")
    finally:
        emulator.stop()
        pair.stop()


def main():
    checks = [check_tcp_host_and_control_channel, check_com_port, check_script_and_standard_input, check_window]
    failed = 0
    for check in checks:
        start = time.monotonic()
        try:
            check()
            print(f"PASS {check.__name__} ({time.monotonic() - start:.1f} s)")
        except Exception as error:  # every check runs, each failure is told
            failed += 1
            print(f"FAIL {check.__name__}: {error}")
    print(f"{len(checks) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
