#!/usr/bin/env python3
"""A host program's test against the Dravilo emulator, ready to copy.

It starts the emulator without a window, with a virtual serial port for the
host and a control socket for the test, puts 12.5 kg on the scales, asks for
a ZELM-2 weight frame and checks it; then it makes the line drop one reply
and shows the host getting the weight anyway by asking again.

Needs pyserial (Debian: python3-serial). The emulator binary is taken from
$DRAVILO, else ./build/dravilo.
"""

import os
import socket
import subprocess
import sys
import tempfile
import time

import serial

WEIGHT_REQUEST = b"\x0a"
FRAME_LENGTH = 20  # weight, price and cost, 6 digits each, then CR LF


class Emulator:
    """The emulator in a folder of its own, driven through its control socket."""

    def __init__(self, binary):
        self.folder = tempfile.TemporaryDirectory()
        self.port = os.path.join(self.folder.name, "scale")
        control = os.path.join(self.folder.name, "control")
        env = dict(os.environ, ProgramFiles=self.folder.name)
        self.process = subprocess.Popen(
            [binary, "--headless", "--virtual-port", self.port, "--control", control], env=env)
        deadline = time.monotonic() + 30
        while True:
            try:
                self.socket = socket.socket(socket.AF_UNIX)
                self.socket.connect(control)
                break
            except OSError:
                self.socket.close()
                if time.monotonic() > deadline or self.process.poll() is not None:
                    raise RuntimeError("the emulator did not open its control socket")
                time.sleep(0.1)
        self.answers = self.socket.makefile("rw", encoding="utf-8", newline="\n")

    def command(self, line):
        """One command, one answer line; an "error: ..." answer raises."""
        self.answers.write(line + "\n")
        self.answers.flush()
        answer = self.answers.readline().rstrip("\n")
        if answer.startswith("error:"):
            raise RuntimeError(f"{line}: {answer}")
        return answer

    def close(self):
        self.socket.close()
        self.process.terminate()  # saves its settings and releases the port
        self.process.wait(timeout=10)
        self.folder.cleanup()


def read_weight_frame(line, attempts=3):
    """The host's side: ask for a frame, and ask again when none comes whole."""
    for attempt in range(1, attempts + 1):
        line.reset_input_buffer()
        line.write(WEIGHT_REQUEST)
        frame = line.read(FRAME_LENGTH)
        if len(frame) == FRAME_LENGTH and frame.endswith(b"\r\n"):
            return frame, attempt
    raise TimeoutError(f"no weight frame in {attempts} attempts")


def weight_in(frame, decimals=1):
    """Weight digits come least significant first; the format has one decimal."""
    digits = "".join(str(d) for d in reversed(frame[0:6]))
    return int(digits) / 10 ** decimals


def main():
    emulator = Emulator(os.environ.get("DRAVILO", "./build/dravilo"))
    try:
        with serial.Serial(emulator.port, 9600, timeout=1) as line:
            emulator.command("sway 0 0")  # a steady load, no swing after the change
            emulator.command("weight1 12.5")
            emulator.command("press weight1")

            frame, attempts = read_weight_frame(line)
            assert weight_in(frame) == 12.5, frame.hex(" ")
            assert attempts == 1
            print("12.5 kg read in one request:", frame.hex(" "))

            emulator.command("fault drop next 1")
            frame, attempts = read_weight_frame(line)
            assert weight_in(frame) == 12.5, frame.hex(" ")
            assert attempts == 2, "the first reply should have been dropped"
            print("the dropped reply was asked for again:", frame.hex(" "))
    finally:
        emulator.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
