"""The simulated sensor bus: configure it and change its devices while a session runs.

Keys and values are those of the simulator configuration ("power_dbm", "plugged", ...).
"""

import ctypes

from . import _native


def _error():
    message = _native.simulator().rfsim_error()
    return message.decode("latin-1") if message else "simulator call failed"


def configure(text):
    """Replaces the whole bus with the devices `text` describes; returns their number."""
    count = _native.simulator().rfsim_configure(text.encode())
    if count < 0:
        raise ValueError(_error())
    return count


def set(device, key, value):  # noqa: A001 - mirrors the simulator's own name
    """Sets one key of the device at bus position `device` (0-based)."""
    if _native.simulator().rfsim_set(int(device), key.encode(), str(value).encode()) != 0:
        raise ValueError(_error())


def get(device, key):
    """One key (or read-only state) of a device, as text."""
    sim = _native.simulator()
    size = 256
    while True:
        buffer = ctypes.create_string_buffer(size)
        length = sim.rfsim_get(int(device), key.encode(), buffer, size)
        if length < 0:
            raise ValueError(_error())
        if length < size:
            return buffer.value.decode("latin-1")
        size = length + 1
