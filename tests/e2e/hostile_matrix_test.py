"""Every option that takes a path and every line, met as a careless or hostile
user meets them: empty values, missing folders, files, FIFOs, pipes, links of
one's own and links another user planted, folders others may write to; floods
of junk, hosts that never read, hosts reconnecting at once, half-closes, a stop
in the first moments. A new option or line gets its rows by one entry."""

import contextlib
import functools
import os
import pwd
import re
import select
import shutil
import signal
import socket
import stat
import subprocess
import sys
import tempfile
import threading
import time
from dataclasses import dataclass, field
from pathlib import Path

import pytest
import serial

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "examples"))
from dravilo_kit import binary  # noqa: E402

SETTINGS_FILE = "Dravilo v.2.00.eng"
EARLIER_SETTINGS = b"settings of an earlier run\n"
SCRIPT = b"type zelm1\n"  # the script's one line, and what any other file of ours holds
STATUS_REQUEST, STATUS_REPLY = b"\x0e", b"\x00\x09\x0d\x0a"  # ZELM-2 is selected at start
LOG_LINE = re.compile(rb"\d\d:\d\d:\d\d\.\d{3} (program|from-host|to-host) ")
WEIGHT_LINE = re.compile(rb"WW-?[0-9.]+kg")
TELNET_COMMAND = re.compile(rb"\xff\xff|\xff\xfa.*?\xff\xf0|\xff[\xfb-\xfe].|\xff.", re.S)
LINE_OPTIONS = {"--virtual-port", "--tcp", "--rfc2217"}
MiB = 1 << 20
RSS_GROWTH_BOUND = 64 * MiB  # keeping what a flood brings costs hundreds of MiB within seconds
FLOOD_SECONDS = 3
RECONNECTS = 200

needs_other_user = pytest.mark.skipif(os.geteuid() != 0 or not shutil.which("runuser"),
                                      reason="acting as another user (nobody) needs root and runuser")


def as_other_user(*command):
    subprocess.run(["runuser", "-u", "nobody", "--", *command], check=True)


def snapshot(path):
    """What lstat and the bytes say of `path`, and of everything a folder holds."""
    if not os.path.lexists(path):
        return None
    st = os.lstat(path)
    state = (st.st_mode, st.st_uid, st.st_ino, st.st_size, st.st_mtime_ns)
    if stat.S_ISLNK(st.st_mode):
        return state + (os.readlink(path),)
    if stat.S_ISREG(st.st_mode):
        return state + (Path(path).read_bytes(),)
    if stat.S_ISDIR(st.st_mode):
        return state + tuple((name, snapshot(os.path.join(path, name))) for name in sorted(os.listdir(path)))
    return state


def wait_until(condition, what, timeout=5):
    deadline = time.monotonic() + timeout
    while not condition():
        assert time.monotonic() < deadline, f"not within {timeout} s: {what}"
        time.sleep(0.02)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Place:
    """The test's own folder, an empty home for the emulator's environment and,
    on demand, folders another user may write to (under /tmp: pytest's own
    folders are closed to other users)."""

    def __init__(self, tmp_path):
        self.ours, self.home = tmp_path / "ours", tmp_path / "home"
        self.ours.mkdir()
        self.home.mkdir()
        self.open_files, self._shared = [], None

    def others_folder(self, sticky):
        """Sticky and anyone's as /tmp, or nobody's own and open to all."""
        if self._shared is None:
            self._shared = Path(tempfile.mkdtemp(prefix="dravilo-matrix-"))
            self._shared.chmod(0o755)
        folder = self._shared / ("sticky" if sticky else "open")
        folder.mkdir()
        if not sticky:
            os.chown(folder, pwd.getpwnam("nobody").pw_uid, -1)
        folder.chmod(0o1777 if sticky else 0o777)
        return folder

    def close(self):
        for fd in self.open_files:
            os.close(fd)
        if self._shared is not None:
            shutil.rmtree(self._shared)


@pytest.fixture
def place(tmp_path):
    folders = Place(tmp_path)
    yield folders
    folders.close()


class Emulator:
    """The binary, --headless, with the environment's folders in the test's
    home; what it writes on standard output and error is collected."""

    def __init__(self, arguments, home):
        asan = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "quarantine_size_mb=8"]))
        environment = dict(os.environ, HOME=str(home), XDG_DATA_HOME=str(home / "data"),
                           ProgramFiles=str(home / "programs"), ASAN_OPTIONS=asan)
        self.started = time.monotonic()
        self.process = subprocess.Popen([binary(), "--headless", *map(str, arguments)], env=environment,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.out, self.err = bytearray(), bytearray()
        self._collectors = [threading.Thread(target=self._collect, args=pair, daemon=True)
                            for pair in ((self.process.stdout, self.out), (self.process.stderr, self.err))]
        for collector in self._collectors:
            collector.start()

    @staticmethod
    def _collect(stream, into):
        for chunk in iter(lambda: stream.read1(65536), b""):
            into += chunk

    def stderr(self):
        return self.err.decode(errors="replace")

    def rss(self):
        with open(f"/proc/{self.process.pid}/status") as status:
            return next(int(l.split()[1]) * 1024 for l in status if l.startswith("VmRSS:"))

    def wait(self, timeout):
        """The exit status, once all it wrote is collected."""
        status = self.process.wait(timeout=timeout)
        for collector in self._collectors:
            collector.join(timeout=5)
        return status

    def assert_stops(self, timeout=10):
        self.process.send_signal(signal.SIGTERM)
        status = self.wait(timeout)
        assert status == 0, f"ended with {f'signal {-status}' if status < 0 else status}: {self.stderr()}"

    def __enter__(self):
        return self

    def __exit__(self, *_):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class Control:
    """The control socket once the start-up is over: one command, one answer line, within 5 s."""

    def __init__(self, path, emulator, timeout=30):
        deadline = time.monotonic() + timeout
        while not self._connected(path):
            assert emulator.process.poll() is None, \
                f"ended at start with status {emulator.process.returncode}: {emulator.stderr()}"
            assert time.monotonic() < deadline, f"{path} never accepted"
            time.sleep(0.05)
        self.socket.settimeout(5)
        self.answers = self.socket.makefile("rb")
        self.ask("language")

    def _connected(self, path):
        self.socket = socket.socket(socket.AF_UNIX)
        try:
            self.socket.connect(str(path))
            return True
        except OSError:
            self.socket.close()
            return False

    def ask(self, line, limit=65536):
        self.socket.sendall(line.encode() + b"\n")
        try:
            answer = self.answers.readline(limit + 1)
        except TimeoutError:
            pytest.fail(f"{line!r} not answered within 5 s")
        assert answer.endswith(b"\n"), f"{line!r}: no whole answer line within {limit} bytes"
        return answer.decode(errors="replace").rstrip("\n")


# Table 1: every option that takes a path, under every condition.

@dataclass
class Target:
    """The path a condition gives the option, and what it must leave or yield."""
    path: str
    victims: list = field(default_factory=list)  # ours, unchanged however the start goes
    before: bytes = b""  # what a log there holds before the emulator's lines
    sink: object = None  # (emulator) -> what a log there reads back as, when not the file itself
    made: bool = False  # nothing is there yet: what is served there is the emulator's own


def ours(option, path):
    """Something of ours: a folder with an earlier run's settings file, or a file."""
    if option.folder:
        path.mkdir()
        (path / SETTINGS_FILE).write_bytes(EARLIER_SETTINGS)
    else:
        path.write_bytes(SCRIPT)
    return path


def empty(option, place):
    return Target("")


def missing_folder(option, place):
    return Target(str(place.ours / "missing" / "folder" / "name"), made=True)


def regular_file(option, place):
    (place.ours / "file").write_bytes(SCRIPT)
    return Target(str(place.ours / "file"), before=SCRIPT)


def fifo_alone(option, place):
    os.mkfifo(place.ours / "fifo")
    return Target(str(place.ours / "fifo"))


def fifo_with_peer(option, place):
    """A FIFO this test holds open at both ends: a reader of a log, a writer of the script."""
    path = place.ours / "fifo"
    os.mkfifo(path)
    fd = os.open(path, os.O_RDWR | os.O_NONBLOCK)
    place.open_files.append(fd)
    os.write(fd, SCRIPT)
    read = bytearray()

    def drained(emulator):
        while select.select([fd], [], [], 0)[0]:
            read.extend(os.read(fd, 65536))
        return bytes(read)
    return Target(str(path), before=SCRIPT, sink=drained)


def stdout_pipe(option, place):
    return Target("/dev/stdout", sink=lambda emulator: bytes(emulator.out))


def own_link(option, place):
    target = ours(option, place.ours / "target")
    (place.ours / "link").symlink_to(target)
    return Target(str(place.ours / "link"), victims=[target], before=b"" if option.folder else SCRIPT)


def planted_in_sticky_folder(option, place):
    victim = ours(option, place.ours / "victim")
    link = place.others_folder(sticky=True) / "planted"
    as_other_user("ln", "-s", str(victim), str(link))
    return Target(str(link), victims=[victim])


def others_folder(option, place):
    folder = place.others_folder(sticky=False)
    return Target(str(folder if option.folder else folder / "name"), made=not option.folder)


def planted_in_others_folder(option, place):
    """Nobody's folder open to all, with a link there named as the option's own file."""
    victim = place.ours / "victim"
    victim.write_bytes(SCRIPT)
    folder = place.others_folder(sticky=False)
    link = folder / (SETTINGS_FILE if option.folder else "planted")
    as_other_user("ln", "-s", str(victim), str(link))
    return Target(str(folder if option.folder else link), victims=[victim, link])


PATH_CONDITIONS = {condition.__name__: condition for condition in [
    empty, missing_folder, regular_file, fifo_alone, fifo_with_peer, stdout_pipe, own_link,
    planted_in_sticky_folder, others_folder, planted_in_others_folder]}
OTHER_USER_CONDITIONS = {"planted_in_sticky_folder", "others_folder", "planted_in_others_folder"}


def keeps_settings(emulator, target):
    settings = Path(os.path.realpath(target.path)) / SETTINGS_FILE
    wait_until(lambda: settings.exists() and settings.read_bytes() != EARLIER_SETTINGS, f"settings in {settings}")


def logs(emulator, target):
    sink = target.sink or (lambda _: Path(target.path).read_bytes())
    wait_until(lambda: (read := sink(emulator)).startswith(target.before)
               and LOG_LINE.search(read[len(target.before):]), f"a log line after {target.before!r} in {target.path}")


def runs_script(emulator, target):
    wait_until(lambda: b"1: ok" in emulator.out, f"the script's answer; stdout {bytes(emulator.out)!r}")


def answers_commands(emulator, target):
    assert Control(target.path, emulator).ask("language") in ("eng", "rus")


def serves_the_line(emulator, target):
    with serial.Serial(target.path, 9600, timeout=5) as line:
        line.write(STATUS_REQUEST)
        assert line.read(4) == STATUS_REPLY


@dataclass(frozen=True)
class PathOption:
    name: str
    served: frozenset  # the conditions it is served under; refused under the others
    serves: object = None  # (emulator, target): asserts it did its job with the path
    folder: bool = False  # the path is a folder the option keeps its own file in
    conditions: tuple = tuple(PATH_CONDITIONS)


PATH_OPTIONS = [
    PathOption("--settings-dir", frozenset({"missing_folder", "own_link"}), keeps_settings, folder=True),
    PathOption("--log", frozenset({"regular_file", "fifo_with_peer", "stdout_pipe", "own_link", "others_folder"}),
               logs),
    PathOption("--script", frozenset({"regular_file", "own_link"}), runs_script),
    PathOption("--control", frozenset({"others_folder"}), answers_commands),
    PathOption("--virtual-port", frozenset({"others_folder"}), serves_the_line),
    # Addresses, not paths, but an empty one is refused the same way.
    PathOption("--tcp", frozenset(), conditions=("empty",)),
    PathOption("--rfc2217", frozenset(), conditions=("empty",)),
    PathOption("--line-pace", frozenset(), conditions=("empty",)),
]


@pytest.mark.parametrize("option,condition", [
    pytest.param(option, condition, id=f"{option.name[2:]}-{condition}",
                 marks=[needs_other_user] if condition in OTHER_USER_CONDITIONS else [])
    for option in PATH_OPTIONS for condition in option.conditions])
def test_a_path_option(option, condition, place):
    target = PATH_CONDITIONS[condition](option, place)
    control = target.path if option.name == "--control" else place.ours / "control"
    arguments = [option.name, target.path]
    if option.name != "--control":
        arguments += ["--control", control]
    if option.name not in LINE_OPTIONS:
        arguments += ["--virtual-port", place.ours / "scale"]
    watched = [path for path in [target.path, *map(str, target.victims), str(place.home)] if path]
    untouched = {path: snapshot(path) for path in watched}
    with Emulator(arguments, place.home) as emulator:
        if condition in option.served:
            Control(control, emulator)
            option.serves(emulator, target)
            assert not target.made or os.lstat(target.path).st_uid == os.geteuid(), f"{target.path} is not ours"
            emulator.assert_stops()
            return
        try:
            status = emulator.wait(timeout=5)
        except subprocess.TimeoutExpired:
            pytest.fail(f"still running after 5 s, not refused; stderr: {emulator.stderr()}")
        assert status == 2, emulator.stderr()
        assert option.name in emulator.stderr() or (target.path and target.path in emulator.stderr()), \
            emulator.stderr()
        for path, state in untouched.items():
            assert snapshot(path) == state, f"{path} changed; stderr: {emulator.stderr()}"


# Table 2: every line, under every condition.

class PtyHost:
    telnet = False

    def __init__(self, path):
        self.port = serial.Serial(path, 9600, timeout=0.1, write_timeout=10)
        self.send, self.close = self.port.write, self.port.close

    def receive(self):
        return self.port.read(self.port.in_waiting or 1)


class SocketHost:
    def __init__(self, port, telnet):
        self.telnet = telnet
        self.socket = socket.create_connection(("127.0.0.1", port), timeout=10)
        self.send, self.close = self.socket.sendall, self.socket.close

    def receive(self):
        """What came within 0.1 s; None once the emulator has closed its end."""
        if not select.select([self.socket], [], [], 0.1)[0]:
            return b""
        try:
            return self.socket.recv(65536) or None
        except ConnectionResetError:
            return None


def received(host, enough, timeout=5):
    """What the host reads, Telnet commands left out, until `enough` says so,
    the emulator closes its end or the time is up."""
    raw, deadline = b"", time.monotonic() + timeout
    while True:
        data = TELNET_COMMAND.sub(lambda m: b"\xff" if m[0] == b"\xff\xff" else b"", raw) if host.telnet else raw
        if enough(data) or time.monotonic() > deadline or (chunk := host.receive()) is None:
            return data
        raw += chunk


def asked(host, request, reply, timeout=5):
    host.send(request)
    return reply in received(host, lambda data: reply in data, timeout)


@dataclass(frozen=True)
class Line:
    option: str
    junk: bytes  # one burst of a flood
    not_applicable: dict = field(default_factory=dict)  # condition: why

    def address(self, place):
        return str(place.ours / "scale") if self.option == "--virtual-port" else free_port()

    def connect(self, address):
        return PtyHost(address) if isinstance(address, str) else SocketHost(address, self.option == "--rfc2217")

    def gone(self, address):
        """Nothing of the line is left: no link, the port free to listen on."""
        if isinstance(address, str):
            return not os.path.lexists(address)
        with socket.socket() as probe:
            return probe.connect_ex(("127.0.0.1", address)) != 0


LINES = [
    Line("--virtual-port", b"\x41" * 4096, {"half_close": "a pseudo-terminal has no half-close"}),
    Line("--tcp", b"\x41" * 65536),
    Line("--rfc2217", (b"\x41" * 4096 + b"\xff\xfa\x2c" + b"\x41" * 300 + b"\xff\xf0") * 16),
]


@contextlib.contextmanager
def serving(line, place):
    """The emulator serving `line`, with a settings folder and a control socket of its own."""
    address = line.address(place)
    with Emulator([line.option, address, "--settings-dir", place.ours / "settings",
                   "--control", place.ours / "control"], place.home) as emulator:
        emulator.address, emulator.control = address, Control(place.ours / "control", emulator)
        emulator.rss_before = emulator.rss()
        yield emulator
        emulator.assert_stops()


def answers_while(emulator, busy):
    """Asks the control channel every 0.1 s while `busy`, RSS kept bounded all the while."""
    while busy():
        emulator.control.ask("language")
        assert_bounded(emulator)
        time.sleep(0.1)


def assert_bounded(emulator):
    growth = emulator.rss() - emulator.rss_before
    assert growth < RSS_GROWTH_BOUND, f"RSS grew by {growth / MiB:.0f} MiB"


def flood(line, place):
    with serving(line, place) as emulator:
        host = line.connect(emulator.address)
        failed, sent, end = [], [0], time.monotonic() + FLOOD_SECONDS

        def keep_sending():
            while time.monotonic() < end:
                try:
                    host.send(line.junk)
                except (OSError, serial.SerialTimeoutException) as error:  # not read for 10 s, or closed
                    return failed.append(error)
                sent[0] += len(line.junk)
        flooder = threading.Thread(target=keep_sending)
        flooder.start()
        answers_while(emulator, flooder.is_alive)
        flooder.join()
        assert not failed, f"the host could send no more after {sent[0]} bytes: {failed[0]!r}"
        emulator.control.ask("traffic 10000", limit=MiB)
        assert_bounded(emulator)
        # What the flood left in the line is read first; the host asks until it is through.
        deadline = time.monotonic() + 10
        while not asked(host, STATUS_REQUEST, STATUS_REPLY, timeout=1):
            assert time.monotonic() < deadline, f"no reply to 0E after a flood of {sent[0]} bytes"
        host.close()


def never_reads(line, place):
    with serving(line, place) as emulator:
        emulator.control.ask("type zelm1")
        emulator.control.ask("period 1")
        host = line.connect(emulator.address)
        end = time.monotonic() + FLOOD_SECONDS
        answers_while(emulator, lambda: time.monotonic() < end)
        # A host that opens a line as a line's bytes cross it meets that one begun.
        _, *lines, _ = received(host, lambda data: False, timeout=1).split(b"\r\n")
        assert len(lines) >= 3 and all(WEIGHT_LINE.fullmatch(l) for l in lines), lines[:3] + lines[-3:]
        host.close()


def reconnecting(line, place):
    with serving(line, place) as emulator:
        unserved = []
        for attempt in range(RECONNECTS):
            host = line.connect(emulator.address)
            if not asked(host, STATUS_REQUEST, STATUS_REPLY):
                unserved.append(attempt)
            host.close()
        assert not unserved, f"{len(unserved)} of {RECONNECTS} hosts not served, the first {unserved[:5]}; " \
                             f"traffic: {emulator.control.ask('traffic 3')}"


def half_close(line, place):
    with serving(line, place) as emulator:
        host = line.connect(emulator.address)
        host.send(STATUS_REQUEST)
        host.socket.shutdown(socket.SHUT_WR)
        assert STATUS_REPLY in received(host, lambda data: False), "no reply before the end"
        assert host.receive() is None, "the emulator did not close its end"
        host.close()
        host = line.connect(emulator.address)
        assert asked(host, STATUS_REQUEST, STATUS_REPLY), "the next host was not served"
        host.close()


def stopped_at(line, place, seconds):
    address = line.address(place)
    with Emulator([line.option, address, "--settings-dir", place.ours / "settings"], place.home) as emulator:
        time.sleep(max(0.0, emulator.started + seconds - time.monotonic()))
        emulator.assert_stops(timeout=5)
    assert line.gone(address), f"{address} is still taken"
    assert (place.ours / "settings" / SETTINGS_FILE).exists(), "no settings saved"


LINE_CONDITIONS = {condition.__name__: condition for condition in [flood, never_reads, reconnecting, half_close]}
LINE_CONDITIONS.update({f"stopped_at_{ms}ms": functools.partial(stopped_at, seconds=ms / 1000) for ms in (5, 15, 30)})


@pytest.mark.parametrize("line,condition", [
    pytest.param(line, condition, id=f"{line.option[2:]}-{condition}",
                 marks=[pytest.mark.skip(reason=line.not_applicable[condition])] if condition in line.not_applicable
                 else [])
    for line in LINES for condition in LINE_CONDITIONS])
def test_a_line(line, condition, place):
    LINE_CONDITIONS[condition](line, place)


# Table 3: every control command that takes bytes for the line, under the
# values a careless or hostile client sends: each is refused with its
# reason, nothing reaches the host, and the line is served as before.

BY_HAND_BOUND = 1024
VALUE_CONDITIONS = {  # the value, and what the refusal says
    "empty": ("", "nothing to send"),
    "not_hex": ("0A zz", "zz is not bytes in HEX"),
    "odd_digits": ("0A 0D 0", "0 is not bytes in HEX"),
    "over_the_bound": ("00" * (BY_HAND_BOUND + 1), f"at most {BY_HAND_BOUND} bytes"),
    "longer_than_a_line": ("00 " * 2000, "line longer than"),
}
BYTE_COMMANDS = ["send"]


@pytest.mark.parametrize("command,condition", [
    pytest.param(command, condition, id=f"{command}-{condition}")
    for command in BYTE_COMMANDS for condition in VALUE_CONDITIONS])
def test_a_command_value(command, condition, place):
    value, why = VALUE_CONDITIONS[condition]
    with serving(LINES[0], place) as emulator:
        host = LINES[0].connect(emulator.address)
        answer = emulator.control.ask(f"{command} {value}".rstrip())
        assert answer.startswith("error: ") and why in answer, answer[:200]
        assert received(host, lambda data: False, timeout=0.3) == b"", "bytes reached the host"
        assert emulator.control.ask(f"{command} 0E 0D 0A") == "ok"
        assert received(host, lambda data: data == b"\x0e\x0d\x0a", timeout=2) == b"\x0e\x0d\x0a"
        assert asked(host, STATUS_REQUEST, STATUS_REPLY), "the line is no longer served"
        host.close()
