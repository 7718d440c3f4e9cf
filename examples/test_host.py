"""Host tests against the emulator, as a till or a weighing station would
write them. Run with: DRAVILO=./build/dravilo python3 -m pytest examples"""

import os
import time

import serial

from dravilo_kit import Emulator, digits, emulator, read_frame  # noqa: F401 (emulator is a fixture)

SCENARIOS = os.path.join(os.path.dirname(__file__), "scenarios")
WEIGHT_REQUEST = b"\x0a"


def weigh(line, attempts=3):
    """The host's side: ask for a frame, and ask again when none comes whole."""
    for attempt in range(1, attempts + 1):
        line.reset_input_buffer()
        line.write(WEIGHT_REQUEST)
        try:
            return read_frame(line), attempt
        except TimeoutError:
            continue
    raise TimeoutError(f"no weight frame in {attempts} attempts")


def test_a_dropped_reply_is_asked_for_again(emulator):
    emulator.command("sway 0 0")  # a steady load, no swing after the change
    emulator.command("weight1 12.5")
    emulator.command("press weight1")
    with serial.Serial(emulator.port, 9600, timeout=1) as line:
        frame, attempts = weigh(line)
        assert (len(frame), digits(frame[0:6]), attempts) == (20, 125, 1), frame.hex(" ")
        emulator.command("fault drop next 1")
        frame, attempts = weigh(line)
        assert (digits(frame[0:6]), attempts) == (125, 2), "the first reply should have been dropped"


def test_the_truck_on_the_weighbridge(tmp_path):
    scale = Emulator(tmp_path, script=os.path.join(SCENARIOS, "weighbridge.txt"))
    try:
        with serial.Serial(scale.port, 9600, timeout=1) as line:
            lines = []
            deadline = time.monotonic() + 15
            while time.monotonic() < deadline and not scale.script_finished():
                lines.append(read_frame(line))
    finally:
        assert scale.stop() == 0
    weights = [int(l[2:8]) for l in lines]
    # The bridge empty, the front axle, the truck swaying within 40 kg, settled, gone.
    assert weights[0] == 0 and weights[-1] == 0
    assert 6200 in weights and weights.count(24860) >= 5
    assert all(abs(w - 24860) <= 40 for w in weights if w > 20000)
    assert "24: 57 57 30 32 34 38 36 30 6B 67 0D 0A" in scale.script_answers(), "the ticket's frame"


def test_goods_put_down_one_by_one(tmp_path):
    scale = Emulator(tmp_path, script=os.path.join(SCENARIOS, "shop_scale.txt"))
    seen = {}
    try:
        with serial.Serial(scale.port, 9600, timeout=1) as line:
            deadline = time.monotonic() + 15
            while time.monotonic() < deadline and not scale.script_finished():
                frame, _ = weigh(line)
                grams, cents = digits(frame[0:6]), digits(frame[6:12])
                seen[grams] = digits(frame[12:-2])
                time.sleep(0.05)
    finally:
        assert scale.stop() == 0
    assert cents == 499
    # The cost in cents of each load once it has settled: 4.99 a kilogram.
    assert [seen.get(g) for g in (352, 818, 1240)] == [176, 408, 619]
