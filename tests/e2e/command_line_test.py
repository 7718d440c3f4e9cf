"""The command line as a new user meets it: what it answers to a mistake,
before anything else is done or said."""

import os
import subprocess
import sys

import pytest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "examples"))
from dravilo_kit import binary  # noqa: E402

LONG_SOCKET = "/tmp/" + "c" * 120

# Arguments, the status, and what standard output and standard error then hold.
CASES = [
    (["--version"], 0, "dravilo 2.00\n", ""),
    (["--help"], 0, "Usage: dravilo [options]", ""),
    (["-headless", "--bogus"], 2, "", "dravilo: Unknown option 'bogus'; dravilo --help lists the options\n"),
    (["--headless", "stray"], 2, "", "dravilo: stray is no option; dravilo --help lists the options\n"),
    (["--tcp"], 2, "", "dravilo: Missing value after '--tcp'; dravilo --help lists the options\n"),
    (["--headless", "--line-pace", "sometimes"], 2, "", "dravilo: --line-pace is line or instant, not sometimes\n"),
    (["--headless", "--control", LONG_SOCKET], 2, "",
     "is longer than a local socket's address may be (107 bytes)"),
    # Without a display the window's notice comes only after the options are read.
    (["--nonsense"], 2, "", "dravilo: Unknown option 'nonsense'; dravilo --help lists the options\n"),
]


@pytest.mark.parametrize("arguments,status,out,err", CASES, ids=[" ".join(c[0]) for c in CASES])
def test_a_mistake_is_said_first(arguments, status, out, err, tmp_path):
    env = dict(os.environ, ProgramFiles=str(tmp_path), DISPLAY="", WAYLAND_DISPLAY="")
    env.pop("QT_QPA_PLATFORM", None)
    run = subprocess.run([binary()] + arguments, env=env, capture_output=True, text=True, timeout=20)
    assert run.returncode == status, run.stderr
    assert out in run.stdout
    assert err in run.stderr and (status == 0 or run.stderr.startswith("dravilo: ")), run.stderr
    if status == 2:
        assert os.listdir(tmp_path) == [], "nothing was made before the mistake was said"


def test_a_virtual_port_may_lie_in_a_settings_folder_yet_to_be_made(tmp_path):
    folder = tmp_path / "suite" / "settings"
    run = subprocess.Popen([binary(), "--headless", "--settings-dir", str(folder), "--virtual-port",
                            str(folder / "scale")],
                           env=dict(os.environ, ProgramFiles=str(tmp_path)), stderr=subprocess.PIPE, text=True)
    try:
        for line in run.stderr:
            if "virtual port for the host" in line:
                break
        assert os.path.islink(folder / "scale")
    finally:
        run.terminate()
    assert run.wait(timeout=10) == 0
