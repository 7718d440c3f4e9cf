"""The Dravilo emulator in a host program's pytest suite. Copy this file next
to your tests, or put its folder on the path, and:

    import serial
    from dravilo_kit import emulator, read_frame, digits  # emulator is a fixture

    def test_weight(emulator):
        emulator.command("sway 0 0")          # exact values: no swing after a change
        emulator.command("weight1 12.5")
        emulator.command("press weight1")
        with serial.Serial(emulator.port, 9600, timeout=1) as line:
            line.write(b"\\x0a")
            frame = read_frame(line)           # up to CR LF, however long it grows
            assert digits(frame[0:6]) == 125   # least significant digit first

Each emulator runs without a window, with a settings folder, a virtual port
and a control socket of its own in the test's temporary folder: no test ever
touches the user's own settings. It is ready once its control socket
answers, which it does only when its start-up is over. The binary is
$DRAVILO, else "dravilo" on the PATH. Needs pytest and pyserial (Debian:
python3-pytest, python3-serial).
"""

import os
import signal
import socket
import subprocess
import time

import pytest


def binary():
    return os.environ.get("DRAVILO", "dravilo")


class Emulator:
    """One emulator in `folder`, driven through its control socket. `line`
    replaces the virtual port with the options of another line, such as
    ["--tcp", "4001"]; `port` is then None."""

    def __init__(self, folder, script=None, start_timeout=30, line=None):
        folder = str(folder)
        self.port = None if line else os.path.join(folder, "scale")
        self.script_output = os.path.join(folder, "script.out")
        control = os.path.join(folder, "control")
        arguments = [binary(), "--headless", "--settings-dir", os.path.join(folder, "settings"),
                     "--control", control] + (line or ["--virtual-port", self.port])
        self._script_commands = 0
        if script:
            arguments += ["--script", str(script)]
            with open(script, encoding="utf-8") as lines:
                self._script_commands = sum(1 for l in lines if l.strip() and not l.strip().startswith("#"))
        with open(self.script_output, "wb") as output:
            self.process = subprocess.Popen(arguments, stdout=output)
        self._socket = self._connect(control, start_timeout)
        self._answers = self._socket.makefile("rw", encoding="utf-8", newline="\n")
        self.command("language")  # answered once the start-up is over

    def _connect(self, path, timeout):
        deadline = time.monotonic() + timeout
        while True:
            client = socket.socket(socket.AF_UNIX)
            try:
                client.connect(path)
                return client
            except OSError:
                client.close()
                if self.process.poll() is not None:
                    raise RuntimeError(f"the emulator ended at start with status {self.process.returncode}")
                if time.monotonic() > deadline:
                    self.process.kill()
                    raise RuntimeError("the emulator did not open its control socket")
                time.sleep(0.05)

    def command(self, line):
        """One control command, one answer line; an "error: ..." answer raises."""
        self._answers.write(line + "\n")
        self._answers.flush()
        answer = self._answers.readline().rstrip("\n")
        if not answer or answer.startswith("error:"):
            raise RuntimeError(f"{line}: {answer or 'no answer'}")
        return answer

    def script_answers(self):
        """The script's answers so far, as "LINE: answer" lines."""
        with open(self.script_output, encoding="utf-8") as output:
            return output.read().splitlines()

    def script_finished(self):
        """Whether every command of the script has been answered."""
        return len(self.script_answers()) >= self._script_commands

    def stop(self):
        """Ends it as a service manager does: it saves, releases the port and exits 0."""
        self._socket.close()
        self.process.send_signal(signal.SIGTERM)
        return self.process.wait(timeout=10)


@pytest.fixture
def emulator(tmp_path):
    """A started emulator; stopped, and checked to end cleanly, after the test."""
    running = Emulator(tmp_path)
    yield running
    assert running.stop() == 0


def read_frame(line):
    """One frame or reply, up to and with its CR LF: a ZELM-1 line or a ZELM-2
    reply. Neither CR nor LF is ever a digit byte, so a frame that grows
    (a cost from 10000.00 up) is still read whole."""
    frame = line.read_until(b"\r\n")
    if not frame.endswith(b"\r\n"):
        raise TimeoutError(f"no whole frame, only {frame.hex(' ')}")
    return frame


def digits(field):
    """The number a ZELM-2 digit field holds: one byte per digit, least
    significant first, no point (where it goes is in S2)."""
    return int("".join(str(b) for b in reversed(field)))
