"""The terminal's line over TCP, raw and RFC 2217, met by pyserial's own
socket:// and rfc2217:// clients as a host on another machine would use them."""

import os
import socket
import subprocess
import sys
import threading
import time

import pytest
import serial

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "examples"))
from dravilo_kit import Emulator, binary, read_frame  # noqa: E402


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def closed_at_once(address):
    with socket.create_connection(address, timeout=2) as client:
        try:
            return client.recv(100) == b""
        except ConnectionResetError:
            return True


def wait_for(emulator, command, text, timeout=10):
    deadline = time.monotonic() + timeout
    while text not in (answer := emulator.command(command)):
        assert time.monotonic() < deadline, f"{command}: {answer}"
        time.sleep(0.02)


@pytest.fixture(params=["tcp", "rfc2217"])
def network(request, tmp_path):
    port = free_port()
    running = Emulator(tmp_path, line=[f"--{request.param}", str(port)])  # on 127.0.0.1 unless told
    running.url = f"{'socket' if request.param == 'tcp' else 'rfc2217'}://127.0.0.1:{port}"
    running.address = ("127.0.0.1", port)
    yield running
    assert running.stop() == 0


def test_a_host_gets_every_reply_and_the_zelm1_line(network):
    assert network.command("get Label30") == f"waiting for a host on 127.0.0.1:{network.address[1]}"
    network.command("sway 0 0")
    with serial.serial_for_url(network.url, timeout=2) as line:
        wait_for(network, "indicators", "port=green")
        for request, length in [(b"\x0a", 20), (b"\x0b\x04\x02\x00\x01\x00\x00", 2), (b"\x0c", 2),
                                (b"\x0d", 2), (b"\x0e", 4)]:
            line.write(request)
            assert len(read_frame(line)) == length, request.hex()
        # Another host is refused while this one has the line.
        assert closed_at_once(network.address)
        assert "refused" in network.command("traffic 5")
        network.command("type zelm1")
        read_frame(line)  # the first may have begun before
        assert read_frame(line).startswith(b"WW")
    wait_for(network, "indicators", "port=red")
    with serial.serial_for_url(network.url, timeout=2) as line:  # the next host may connect
        assert read_frame(line).startswith(b"WW")


@pytest.mark.parametrize("network", ["rfc2217"], indirect=True)
def test_rfc2217_shows_the_hosts_settings_and_carries_ff(network):
    emulator = network
    for bit in [0, 2, 3, 4, 5, 6, 7]:
        emulator.command(f"flag s1 d{bit} on")
    emulator.command("weight1 -1")
    emulator.command("press weight1")  # D1: the weight is negative
    with serial.serial_for_url(network.url, baudrate=19200, parity="E", timeout=2) as line:
        assert "the host set its line to 19200,e,8,1; the terminal's is 9600,n,8,1" in emulator.command("traffic")
        line.write(b"\x0e")
        assert line.read(4) != b"\xff\x09\x0d\x0a", "a host at other settings reads garbage, as on a real line"
        assert "the host's 19200,e,8,1 does not match the terminal's 9600,n,8,1" in emulator.command("traffic 20")
        line.baudrate, line.parity = 9600, "N"
        line.reset_input_buffer()
        line.write(b"\x0e")
        assert line.read(4) == b"\xff\x09\x0d\x0a"
        line.write(b"\xff")
        wait_for(emulator, "traffic 1", 'from-host FF "." 0xFF: not a request')
    # Garbage, overlong sub-negotiations and a thousand comings and goings stop nothing.
    for _ in range(1000):
        with socket.create_connection(network.address) as client:
            client.sendall(b"\xff\xfa\x2c" + b"\x01" * 300 + b"\xff\xfd\x07\xff\x41\xff")
    wait_for(emulator, "indicators", "port=red")
    with serial.serial_for_url(network.url, timeout=2) as line:
        line.write(b"\x0e")
        assert line.read(4) == b"\xff\x09\x0d\x0a"


def test_a_pick_while_a_host_connects_is_never_refused(network):
    # The pick closes no line while no host is there; a host that comes
    # before the line opens again must not make the settings "not allowed".
    for delay in [0.03, 0.08] * 3:
        answer = []
        asking = threading.Thread(target=lambda: answer.append(network.command("port 2 9600 n 8 1")))
        asking.start()
        time.sleep(delay)
        with socket.create_connection(network.address):
            asking.join(5)
        assert answer == ["ok"], delay
        wait_for(network, "indicators", "port=red")


def test_a_line_that_cannot_be_served_ends_the_start(tmp_path):
    with socket.socket() as taken:
        taken.bind(("127.0.0.1", 0))
        taken.listen()
        busy = str(taken.getsockname()[1])
        for line in (["--tcp", busy], ["--rfc2217", "nowhere:4001"], ["--tcp", "4001", "--rfc2217", "4002"],
                     ["--tcp", "4001", "--virtual-port", str(tmp_path / "scale")]):
            run = subprocess.run([binary(), "--headless", "--settings-dir", str(tmp_path / "settings")] + line,
                                 capture_output=True, text=True, timeout=20)
            assert run.returncode == 2, (line, run.stderr)
            assert "exclude each other" in run.stderr or "line on" in run.stderr, run.stderr
