"""The device of COM n chosen in the port panel, as a person (or a test
suite, through the control channel) does it with the real binary: the
choice is the link ports/COMn in the program folder, kept from run to run;
a file of the user's at that place is left alone."""

import os
import signal
import socket
import subprocess
import sys
import time

import serial

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "examples"))
from dravilo_kit import binary  # noqa: E402


class Running:
    def __init__(self, folder):
        control = str(folder / "control")
        env = dict(os.environ, ProgramFiles=str(folder), XDG_RUNTIME_DIR=str(folder / "run"))
        self.process = subprocess.Popen([binary(), "--headless", "--control", control], env=env,
                                        stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        while True:
            self.channel = socket.socket(socket.AF_UNIX)
            try:
                self.channel.connect(control)
                break
            except OSError:
                self.channel.close()
                assert self.process.poll() is None and time.monotonic() < deadline, "no control channel"
                time.sleep(0.05)
        self.answers = self.channel.makefile("rw", encoding="utf-8", newline="\n")

    def command(self, line):
        self.answers.write(line + "\n")
        self.answers.flush()
        return self.answers.readline().rstrip("\n")

    def stop(self):
        self.channel.close()
        self.process.send_signal(signal.SIGTERM)
        return self.process.wait(timeout=10)


def test_a_virtual_port_chosen_in_the_window_serves_and_is_kept(tmp_path):
    virtual = str(tmp_path / "run" / "dravilo" / "COM2")
    ports = tmp_path / "Dravilo v.2.00" / "ports"
    scale = Running(tmp_path)
    assert scale.command("get Port_Label1") == "COM2 → /dev/ttyS1"
    assert scale.command("pick Port_Combo1 virtual port") == "ok"
    scale.command("sleep 200")
    assert scale.command("indicators").startswith("port=green")
    assert scale.command("get Port_Label1") == f"COM2 → virtual port {virtual}"
    assert os.readlink(ports / "COM2") == virtual
    with serial.Serial(virtual, 9600, timeout=2) as host:
        host.write(b"\x0e")
        assert host.read(4) == b"\x00\x09\x0d\x0a"

    # A file of the user's where the link would go is left as it is.
    (ports / "COM4").write_bytes(b"mine")
    assert scale.command("port 4 9600 n 8 1").startswith("error: the port is not open")
    assert scale.command("pick Port_Combo1 virtual port") == "ok"
    assert "device not chosen: " in scale.command("traffic 3")
    assert (ports / "COM4").read_bytes() == b"mine"
    assert scale.command("port 2 9600 n 8 1") == "ok"
    assert scale.stop() == 0
    assert not os.path.lexists(virtual), "the host's end goes with the line"

    again = Running(tmp_path)  # the choice is kept
    assert again.command("get Port_Label1") == f"COM2 → virtual port {virtual}"
    assert again.command("indicators").startswith("port=green")
    assert again.stop() == 0
