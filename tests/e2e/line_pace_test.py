"""The line as the real one behaves, on every line the emulator serves: bytes
at the terminal's rate, and a host set otherwise reading garbage; met by
pyserial's own clients."""

import os
import socket
import sys
import time

import pytest
import serial

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "examples"))
from dravilo_kit import Emulator, read_frame  # noqa: E402

LINE_SECONDS = 21 * 1.0417e-3  # the request's byte and the 20 of the weight frame at 9600,n,8,1


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


@pytest.fixture(params=["virtual-port", "tcp", "rfc2217"])
def line(request, tmp_path):
    if request.param == "virtual-port":
        running = Emulator(tmp_path)
        running.url = running.port
    else:
        port = free_port()
        running = Emulator(tmp_path, line=[f"--{request.param}", str(port)])
        running.url = f"{'socket' if request.param == 'tcp' else 'rfc2217'}://127.0.0.1:{port}"
    running.kind = request.param
    running.command("sway 0 0")
    yield running
    assert running.stop() == 0


def test_a_reply_takes_the_lines_time(line):
    with serial.serial_for_url(line.url, 9600, timeout=2) as host:
        time.sleep(0.2)
        host.reset_input_buffer()
        asked = time.monotonic()
        host.write(b"\x0a")
        first = host.read(1)
        arrived = time.monotonic()
        frame = first + read_frame(host)
        done = time.monotonic()
    assert len(frame) == 20
    assert done - asked >= LINE_SECONDS * 0.95, f"{(done - asked) * 1e3:.1f} ms: no faster than the wire"
    # A reader woken late takes two bytes at a time, but never the frame at once.
    assert done - arrived >= 10 * 1.0417e-3, "the bytes came one after another, not at once"
    assert "bytes cross at the pace of a 9600,n,8,1 line, 1.04 ms a byte" in line.command("traffic 20")


def test_a_host_set_otherwise_reads_garbage(line):
    if line.kind == "tcp":
        pytest.skip("a raw TCP host tells nothing of its end")
    with serial.serial_for_url(line.url, 19200, timeout=1) as host:
        time.sleep(0.2)
        host.write(b"\x0e")  # a 19200 host's request is no request to a 9600 terminal
        host.read(10)
        assert "the host's 19200,n,8,1 does not match the terminal's 9600,n,8,1: bytes are garbled as on a real " \
               "line" in line.command("traffic 20")
        line.command("type zelm1")
        time.sleep(0.5)
        garbled = host.read(200)
    assert garbled and b"WW" not in garbled, garbled
    assert "the host's 19200,n,8,1 garbles the bytes" in line.command("get Port_Label3")


def test_an_rfc2217_host_sets_its_control_lines(line):
    if line.kind != "rfc2217":
        pytest.skip("control lines travel only over RFC 2217")
    with serial.serial_for_url(line.url, 9600, timeout=1) as host:
        host.dtr = False
        host.send_break(0.05)
        deadline = time.monotonic() + 5
        while "its DTR off, RTS on" not in line.command("get Port_Label1"):
            assert time.monotonic() < deadline, line.command("get Port_Label1")
            time.sleep(0.05)
        traffic = line.command("traffic 30")
        # The window's words follow its language; the channel's stay English.
        assert line.command("language rus") == "ok"
        assert "; его DTR выкл, RTS вкл" in line.command("get Port_Label1")
        assert line.command("get Port_Label3").startswith("Темп линии 9600,n,8,1:")
    assert "the host set DTR off, RTS on" in traffic
    assert "the host set DTR off, RTS on, a break" in traffic
    assert "the host set DTR off, RTS on" in line.command("traffic 30")
