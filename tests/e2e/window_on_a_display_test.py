"""The window on a real X server (Xvfb), where message boxes wait for a
person: a control client is answered at once, and a stop ends the run, while
a box waits for its OK."""

import os
import signal
import socket
import subprocess
import sys
import time

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "examples"))
from dravilo_kit import binary  # noqa: E402


@pytest.fixture
def display():
    # Xvfb picks a free display number and writes it to the pipe.
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1366x768x24", "-nolisten", "tcp"],
                              pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as number:
        yield ":" + number.readline().strip()
    server.terminate()
    server.wait()


def ask(client, line):
    client.sendall(line.encode() + b"\n")
    answer = b""
    while not answer.endswith(b"\n"):
        chunk = client.recv(4096)
        assert chunk, f"{line}: the channel closed"
        answer += chunk
    return answer.decode().rstrip("\n")


def test_a_box_waits_for_a_person_but_the_channel_does_not(display, tmp_path):
    control = str(tmp_path / "control")
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", ProgramFiles=str(tmp_path))
    emulator = subprocess.Popen([binary(), "--settings-dir", str(tmp_path / "settings"), "--tcp", "0",
                                 "--control", control], env=env, stderr=subprocess.PIPE, text=True)
    deadline = time.monotonic() + 30
    while True:
        try:
            client = socket.socket(socket.AF_UNIX)
            client.connect(control)
            break
        except OSError:
            client.close()
            assert emulator.poll() is None and time.monotonic() < deadline, "the emulator did not open its channel"
            time.sleep(0.05)
    with client:
        client.settimeout(5)  # a box that held the channel would hold it until somebody pressed OK
        assert ask(client, "language") == "eng"
        assert ask(client, "port 2 9600 x 8 1").startswith("error: Недопустимо: Invalid Setting: 9600,x,8,1")
        assert ask(client, "status") == "S1=00000000 S2=00001001"
    emulator.send_signal(signal.SIGTERM)
    assert emulator.wait(timeout=10) == 0
