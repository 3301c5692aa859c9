"""The Python package against the simulated sensor: readings, each property, the exceptions
and the session ending with the context manager."""

import math

import pytest

import rfsense
from rfsense import simulator


@pytest.fixture()
def sensor():
    simulator.configure("[device]\npower_dbm = -20\ntemperature_c = 38\nnoise_uv = 0.2\n")
    with rfsense.open() as session:
        yield session


def test_readings_in_each_unit(sensor):
    assert sensor.read_dbm() == pytest.approx(-20.0, abs=0.02)
    assert sensor.read_watts() == pytest.approx(1e-5, rel=0.005)
    assert sensor.read_volts() > 0.0
    assert sensor.temperature() == pytest.approx(38.0, abs=0.5)
    info = sensor.info()
    assert info["serial"] == "RX100001"
    assert info["model"].startswith("RX4LO")
    assert info["firmware"] == "USB SENSOR V4.7"


@pytest.mark.parametrize(
    "name, value, read_back",
    [
        ("frequency", 2.4e9, 2.4e9),
        ("cal_factor", 97.5, 97.5),
        ("offset", 10.0, 10.0),
        ("offset", None, None),
        ("duty_cycle", 25.0, 25.0),
        ("duty_cycle", None, None),
        ("resolution", 1, 1),
    ],
)
def test_properties_read_back(sensor, name, value, read_back):
    setattr(sensor, name, value)
    got = getattr(sensor, name)
    assert got == (pytest.approx(read_back) if read_back is not None else None)


def test_offset_and_relative_change_the_reading(sensor):
    sensor.offset = 10.0
    assert sensor.read_dbm() == pytest.approx(-10.0, abs=0.02)
    sensor.offset = None
    sensor.relative = True
    assert sensor.relative
    assert sensor.read_dbm() == pytest.approx(0.0, abs=0.02)
    sensor.relative = False
    assert sensor.read_dbm() == pytest.approx(-20.0, abs=0.02)


@pytest.mark.parametrize(
    "name, value, words",
    [
        ("frequency", 100e9, "10MHz to 26.5GHz"),
        ("frequency", math.nan, "10MHz to 26.5GHz"),
        ("cal_factor", 151, "50 to 150 %"),
        ("offset", -51, "-50 to 100 dB"),
        ("duty_cycle", 0, "above 0 and at most 100 %"),
        ("resolution", 4, "0 to 3 decimals"),
    ],
)
def test_refused_settings_name_the_allowed_range(sensor, name, value, words):
    before = getattr(sensor, name)
    with pytest.raises(ValueError, match=words):
        setattr(sensor, name, value)
    assert getattr(sensor, name) == before


def test_zero_refused_with_power_applied_and_done_without(sensor):
    with pytest.raises(rfsense.ZeroTooLarge):
        sensor.zero()
    simulator.set(0, "power_dbm", "off")
    sensor.zero()


def test_unplug_raises_sensor_lost(sensor):
    simulator.set(0, "plugged", "0")
    with pytest.raises(rfsense.SensorLost):
        for _ in range(200):  # the last average may come until the loss is seen
            sensor.read_dbm()


def test_no_sensor_and_a_missing_serial():
    simulator.configure("[device]\nplugged = 0\n")
    with pytest.raises(rfsense.SensorNotFound):
        rfsense.open()
    simulator.configure("[device]\nserial = RX100001\n[device]\nserial = RX100002\n")
    with rfsense.open(serial="RX100002") as second:
        assert second.info()["serial"] == "RX100002"
    with pytest.raises(rfsense.SensorNotFound, match="RX999"):
        rfsense.open(serial="RX999")


def test_the_context_manager_closes_the_session():
    simulator.configure("[device]\n")
    with rfsense.open() as session:
        assert not session.closed
    assert session.closed
    with pytest.raises(rfsense.SensorError, match="closed"):
        session.read_dbm()
    # The sensor is free again for the next session.
    with rfsense.open() as again:
        assert again.read_dbm() < 0


def test_simulator_keys_and_errors():
    simulator.configure("[device]\npower_dbm = -7\n")
    assert simulator.get(0, "power_dbm") == "-7"
    with pytest.raises(ValueError):
        simulator.set(0, "no_such_key", "1")
    with pytest.raises(ValueError):
        simulator.configure("[device]\npower_dbm = loud\n")
