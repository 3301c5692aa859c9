"""Loading librfsense (and, on the simulated bus, librfsim) and declaring the functions used."""

import ctypes
import ctypes.util
import os

_library = None
_simulator = None

_double_p = ctypes.POINTER(ctypes.c_double)
_int32_p = ctypes.POINTER(ctypes.c_int32)


class SettingsRecord(ctypes.Structure):
    """The library's SensorSettingsRecord."""

    _fields_ = [
        ("frequency", ctypes.c_double),
        ("cal_factor", ctypes.c_double),
        ("offset", ctypes.c_double),
        ("offset_on", ctypes.c_ubyte),
        ("duty_cycle", ctypes.c_double),
        ("duty_on", ctypes.c_ubyte),
        ("relative_dbm", ctypes.c_double),
        ("relative_mw", ctypes.c_double),
        ("relative_on", ctypes.c_ubyte),
        ("zeroed", ctypes.c_ubyte),
    ]


_PROTOTYPES = {
    "SensorOpen": (ctypes.c_void_p, [ctypes.POINTER(ctypes.c_void_p)]),
    "SensorInit": (ctypes.c_int32, [ctypes.c_void_p]),
    "SensorClose": (None, [ctypes.POINTER(ctypes.c_void_p)]),
    "SensorConnected": (ctypes.c_ubyte, [ctypes.c_void_p, ctypes.POINTER(ctypes.c_ubyte)]),
    "SensorDetails": (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_char_p]),
    "SensorFW_Revision": (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_char_p]),
    "SensorDLL_Revision": (ctypes.c_int32, [ctypes.c_char_p]),
    "SensorDiodeSN_K": (ctypes.c_int32, [ctypes.c_void_p, _int32_p, _int32_p]),
    "SensorZero": (ctypes.c_int32, [ctypes.c_void_p]),
    "SensorVolts": (ctypes.c_int32, [ctypes.c_void_p, _double_p]),
    "SensorTemperature": (ctypes.c_int32, [ctypes.c_void_p, _double_p]),
    "SensorPowerLog": (ctypes.c_int32, [ctypes.c_void_p, _double_p]),
    "SensorPowerLin": (ctypes.c_int32, [ctypes.c_void_p, _double_p]),
    "SensorStrResolution": (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_int32]),
    "SensorOffset": (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_double]),
    "SensorOffsetState": (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_ubyte]),
    "SensorDutyCycle": (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_double]),
    "SensorDutyCycleState": (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_ubyte]),
    "SensorRelativeSet": (ctypes.c_int32, [ctypes.c_void_p]),
    "SensorRelativeState": (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_ubyte]),
    "SensorFrequency": (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_double]),
    "SensorCalFactor": (ctypes.c_int32, [ctypes.c_void_p, ctypes.c_double]),
    "SensorCfQuery": (ctypes.c_int32, [ctypes.c_void_p, _double_p]),
    "SensorSettings": (ctypes.c_int32, [ctypes.c_void_p, ctypes.POINTER(SettingsRecord)]),
}

_SIMULATOR_PROTOTYPES = {
    "rfsim_configure": (ctypes.c_int, [ctypes.c_char_p]),
    "rfsim_set": (ctypes.c_int, [ctypes.c_int, ctypes.c_char_p, ctypes.c_char_p]),
    "rfsim_get": (ctypes.c_int, [ctypes.c_int, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int]),
    "rfsim_error": (ctypes.c_char_p, []),
}


def _declare(library, prototypes):
    for name, (result, arguments) in prototypes.items():
        function = getattr(library, name)
        function.restype = result
        function.argtypes = arguments
    return library


def library():
    """librfsense: RFSENSE_LIBRARY, else the loader's search for librfsense."""
    global _library
    if _library is None:
        path = (
            os.environ.get("RFSENSE_LIBRARY")
            or ctypes.util.find_library("rfsense")
            or "librfsense.so.3"
        )
        try:
            loaded = ctypes.CDLL(path, mode=ctypes.RTLD_GLOBAL)
        except OSError as error:
            raise OSError(
                f"cannot load the rfsense library ({path}): install it, or name it with "
                "RFSENSE_LIBRARY"
            ) from error
        _library = _declare(loaded, _PROTOTYPES)
    return _library


def simulator():
    """librfsim, the simulated bus librfsense uses (already loaded with it)."""
    global _simulator
    if _simulator is None:
        library()
        path = os.environ.get("RFSIM_LIBRARY") or "librfsim.so.1"
        _simulator = _declare(ctypes.CDLL(path, mode=ctypes.RTLD_GLOBAL), _SIMULATOR_PROTOTYPES)
    return _simulator
