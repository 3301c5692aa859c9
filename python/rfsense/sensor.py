"""One sensor session: readings, settings and the zero, with library results as exceptions."""

import ctypes
import math
import os
import warnings

from . import _native
from .errors import (
    CAL_FACTOR_OUT_OF_RANGE,
    DONE,
    DUTY_CYCLE_OUT_OF_RANGE,
    FREQUENCY_OUT_OF_RANGE,
    NOT_CONNECTED,
    NOT_RESPONDING,
    OFFSET_OUT_OF_RANGE,
    RESOLUTION_OUT_OF_RANGE,
    STARTUP_WARNINGS,
    ZERO_TOO_LARGE,
    NotResponding,
    SensorError,
    SensorLost,
    SensorNotFound,
    ZeroTooLarge,
)

_MAX_SESSIONS = 16  # sensors tried when looking for a serial number


def _text(buffer):
    return buffer.value.decode("latin-1")


class Sensor:
    """A session with one sensor; close it (or use it as a context manager) to free the sensor."""

    def __init__(self, serial=None):
        lib = _native.library()
        self._lib = lib
        self._record = ctypes.c_void_p()
        self._resolution = 3
        others = []
        try:
            for _ in range(_MAX_SESSIONS):
                record = ctypes.c_void_p()
                lib.SensorOpen(ctypes.byref(record))
                if not record:
                    break
                code = lib.SensorInit(record)
                if code in (NOT_CONNECTED, NOT_RESPONDING):
                    lib.SensorClose(ctypes.byref(record))
                    if code == NOT_RESPONDING:
                        raise NotResponding(
                            "sensor not responding: disconnect it and reconnect", code
                        )
                    break
                if code in STARTUP_WARNINGS:
                    warnings.warn(STARTUP_WARNINGS[code], RuntimeWarning, stacklevel=3)
                if serial is None or self._serial_of(record) == serial:
                    self._record = record
                    break
                others.append(record)
        finally:
            for other in others:
                lib.SensorClose(ctypes.byref(other))
        if not self._record:
            wanted = "with serial number " + serial if serial else "connected"
            raise SensorNotFound("no sensor " + wanted, NOT_CONNECTED)

    def _serial_of(self, record):
        serial = ctypes.create_string_buffer(20)
        model = ctypes.create_string_buffer(28)
        if self._lib.SensorDetails(record, serial, model) != DONE:
            return None
        return _text(serial)

    # --- session -----------------------------------------------------------------------------

    def close(self):
        """Ends the session; the sensor is free for other programs. Closing twice is harmless."""
        if self._record:
            self._lib.SensorClose(ctypes.byref(self._record))
            self._record = ctypes.c_void_p()

    @property
    def closed(self):
        return not self._record

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def __del__(self):
        try:
            self.close()
        except Exception:  # interpreter shutdown: the library may be gone already
            pass

    def _handle(self):
        if not self._record:
            raise SensorError("the sensor session is closed")
        return self._record

    def _call(self, function, *arguments, refused=None, refusal=""):
        """Runs a library function; raises on anything but DONE (`refused` -> ValueError)."""
        code = getattr(self._lib, function)(self._handle(), *arguments)
        if code == DONE:
            return
        if code == NOT_CONNECTED:
            raise SensorLost("sensor lost: it stopped answering (unplugged?)", code)
        if refused is not None and code == refused:
            raise ValueError(refusal)
        raise SensorError(f"{function} failed with library result {code}", code)

    def _settings(self):
        record = _native.SettingsRecord()
        self._call("SensorSettings", ctypes.byref(record))
        return record

    # --- readings ----------------------------------------------------------------------------

    def _read(self, function):
        value = ctypes.c_double()
        code = getattr(self._lib, function)(self._handle(), ctypes.byref(value))
        if code == NOT_CONNECTED:
            raise SensorLost("sensor lost: it stopped answering (unplugged?)", code)
        return value.value  # an over-range reading is still the sensor's reading

    def read_dbm(self):
        """The next averaged power reading in dBm (dB in relative mode)."""
        return self._read("SensorPowerLog")

    def read_watts(self):
        """The next averaged power reading in watts (a ratio in relative mode)."""
        return self._read("SensorPowerLin")

    def read_volts(self):
        """The detector voltage of the present average."""
        return self._read("SensorVolts")

    def temperature(self):
        """The sensor temperature in 'C."""
        return self._read("SensorTemperature")

    def zero(self):
        """Zeroes the sensor (apply no RF power). Raises ZeroTooLarge when power was applied."""
        code = self._lib.SensorZero(self._handle())
        if code == ZERO_TOO_LARGE:
            raise ZeroTooLarge(
                "zero offset too large: switch the RF power off and zero again", code
            )
        if code == NOT_CONNECTED:
            raise SensorLost("sensor lost: it stopped answering (unplugged?)", code)
        if code != DONE:
            raise SensorError(f"SensorZero failed with library result {code}", code)

    def info(self):
        """Model, serial, firmware, diode serial and K factor, and the library revision."""
        serial = ctypes.create_string_buffer(20)
        model = ctypes.create_string_buffer(28)
        firmware = ctypes.create_string_buffer(20)
        library = ctypes.create_string_buffer(20)
        diode = ctypes.c_int32()
        k_factor = ctypes.c_int32()
        self._call("SensorDetails", serial, model)
        self._call("SensorFW_Revision", firmware)
        self._call("SensorDiodeSN_K", ctypes.byref(diode), ctypes.byref(k_factor))
        self._lib.SensorDLL_Revision(library)
        return {
            "model": _text(model),
            "serial": _text(serial),
            "firmware": _text(firmware),
            "diode_serial": diode.value,
            "k_factor": k_factor.value,
            "library": _text(library),
        }

    # --- settings ----------------------------------------------------------------------------

    def _frequency_span(self):
        model = self.info()["model"]
        if "(" in model and ")" in model:
            return model[model.index("(") + 1 : model.index(")")]
        return "10MHz to 40GHz"

    @property
    def frequency(self):
        """The signal frequency in Hz; it chooses the cal factor from the sensor's table."""
        return self._settings().frequency

    @frequency.setter
    def frequency(self, hz):
        hz = float(hz)
        refusal = f"frequency {hz:g} Hz refused: this sensor accepts " + self._frequency_span()
        if not math.isfinite(hz):
            raise ValueError(refusal)
        code = self._lib.SensorFrequency(self._handle(), hz)
        if code == FREQUENCY_OUT_OF_RANGE:
            raise ValueError(refusal)
        self._check(code, "SensorFrequency")

    @property
    def cal_factor(self):
        """The cal factor in use, in percent."""
        fraction = ctypes.c_double()
        self._call("SensorCfQuery", ctypes.byref(fraction))
        return fraction.value * 100.0

    @cal_factor.setter
    def cal_factor(self, percent):
        self._call("SensorCalFactor", _finite(percent), refused=CAL_FACTOR_OUT_OF_RANGE,
                   refusal=f"cal factor {percent} % refused: must be 50 to 150 %")

    @property
    def offset(self):
        """The offset in dB added to every reading, or None when it is off."""
        settings = self._settings()
        return settings.offset if settings.offset_on else None

    @offset.setter
    def offset(self, db):
        if db is None:
            self._call("SensorOffsetState", 0)
            return
        self._call("SensorOffset", _finite(db), refused=OFFSET_OUT_OF_RANGE,
                   refusal=f"offset {db} dB refused: must be -50 to 100 dB")
        self._call("SensorOffsetState", 1)

    @property
    def duty_cycle(self):
        """The duty cycle of a pulsed signal in percent, or None when it is off."""
        settings = self._settings()
        return settings.duty_cycle if settings.duty_on else None

    @duty_cycle.setter
    def duty_cycle(self, percent):
        if percent is None:
            self._call("SensorDutyCycleState", 0)
            return
        refusal = f"duty cycle {percent} % refused: must be above 0 and at most 100 %"
        if not _finite(percent) > 0.0:  # 0 % would divide every reading by zero
            raise ValueError(refusal)
        self._call("SensorDutyCycle", float(percent), refused=DUTY_CYCLE_OUT_OF_RANGE,
                   refusal=refusal)
        self._call("SensorDutyCycleState", 1)

    @property
    def relative(self):
        """Relative mode: readings relative to the reference taken when it was switched on."""
        return bool(self._settings().relative_on)

    @relative.setter
    def relative(self, on):
        if on:
            self._call("SensorRelativeState", 1)
            self._call("SensorRelativeSet")
        else:
            self._call("SensorRelativeState", 0)

    @property
    def resolution(self):
        """Decimals of the library's power texts, 0 to 3."""
        return self._resolution

    @resolution.setter
    def resolution(self, decimals):
        if isinstance(decimals, bool) or int(decimals) != decimals:
            raise ValueError(f"resolution {decimals} refused: must be 0 to 3 decimals")
        self._call("SensorStrResolution", int(decimals), refused=RESOLUTION_OUT_OF_RANGE,
                   refusal=f"resolution {decimals} refused: must be 0 to 3 decimals")
        self._resolution = int(decimals)

    def _check(self, code, function):
        if code == DONE:
            return
        if code == NOT_CONNECTED:
            raise SensorLost("sensor lost: it stopped answering (unplugged?)", code)
        raise SensorError(f"{function} failed with library result {code}", code)


def _finite(value):
    value = float(value)
    if not math.isfinite(value):
        raise ValueError(f"{value} is not a finite number")
    return value


def open(serial=None, simulate=None):  # noqa: A001 - the package's entry point
    """Opens a session with the first sensor, or the one with `serial`.

    `simulate` (True, or a simulator configuration file) uses the simulated sensor bus; it takes
    effect only before the library's first use in the process.
    """
    if simulate:
        # True keeps the bus as rfsense.simulator has set it up (one default sensor unless
        # configured); a file replaces it at the library's first use.
        os.environ["RFSENSE_LINK"] = "sim"
        if simulate is not True:
            os.environ["RFSENSE_SIM"] = os.fspath(simulate)
    return Sensor(serial)
