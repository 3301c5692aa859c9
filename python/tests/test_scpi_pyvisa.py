"""`rfsense serve --simulate` driven as a PyVISA user drives a LAN instrument."""

import os
import re
import subprocess
import time

import pytest

pyvisa = pytest.importorskip("pyvisa")

CLI = os.environ.get("RFSENSE_CLI", "rfsense")


@pytest.fixture()
def instrument():
    server = subprocess.Popen(
        [CLI, "--simulate", "serve", "--port", "0"],
        stderr=subprocess.PIPE,
        text=True,
    )
    try:
        banner = server.stderr.readline()
        port = int(re.search(r"port (\d+)", banner).group(1))
        manager = pyvisa.ResourceManager("@py")
        resource = manager.open_resource(f"TCPIP::127.0.0.1::{port}::SOCKET")
        resource.read_termination = "\n"
        resource.write_termination = "\n"
        resource.timeout = 10000
        yield resource
        resource.close()
        manager.close()
    finally:
        server.terminate()
        assert server.wait(timeout=10) == 0


def reading(instrument, query="MEAS:POW?"):
    return float(instrument.query(query))


def settled(instrument, expected, tolerance):
    """The reading once the average has taken in a change of the applied power."""
    value = reading(instrument)
    for _ in range(100):
        if abs(value - expected) <= tolerance:
            break
        value = reading(instrument)
    return value


def test_a_script_measures_configures_zeroes_and_survives_an_unplug(instrument):
    assert instrument.query("*IDN?").startswith("Zyn Quorix,RX4LO")
    instrument.write("*RST")
    instrument.write('SIM:SET 0,"power_dbm","-20";:SIM:SET 0,"frequency_hz","2.4e9"')
    instrument.write("SENS:FREQ 2.4 GHZ")
    instrument.write("SENS:CORR:OFFS 10 DB")
    assert settled(instrument, -10.0, 0.02) == pytest.approx(-10.0, abs=0.02)

    instrument.write("SENS:CORR:OFFS:STAT OFF")
    instrument.write("UNIT:POW W")
    assert reading(instrument) == pytest.approx(1e-5, rel=0.005)
    instrument.write("UNIT:POW DBM")

    instrument.write("SENS:FREQ 100 GHZ")
    assert instrument.query("SYST:ERR?").startswith("-222,")
    assert instrument.query("SYST:ERR?") == '0,"No error"'

    instrument.write('SIM:SET 0,"power_dbm","off"')
    instrument.write("CAL:ZERO:AUTO ONCE")
    assert instrument.query("SYST:ERR?") == '0,"No error"'
    instrument.write('SIM:SET 0,"power_dbm","-20"')

    instrument.write('SIM:SET 0,"plugged","0"')
    for _ in range(200):
        if reading(instrument) > 1e37:
            break
    assert instrument.query("SYST:ERR?").startswith("-240,")
    instrument.write('SIM:SET 0,"plugged","1"')
    # The server looks for the sensor again twice a second.
    value = 9.91e37
    deadline = time.monotonic() + 15
    while value > 1e37 and time.monotonic() < deadline:
        time.sleep(0.05)
        value = reading(instrument)
    assert settled(instrument, -20.0, 0.02) == pytest.approx(-20.0, abs=0.02)
