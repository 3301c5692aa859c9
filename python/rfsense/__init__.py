"""rfsense: USB RF power sensors from Python.

    with rfsense.open() as sensor:
        print(sensor.read_dbm())
"""

from . import simulator
from .errors import NotResponding, SensorError, SensorLost, SensorNotFound, ZeroTooLarge
from .sensor import Sensor, open

__all__ = [
    "NotResponding",
    "Sensor",
    "SensorError",
    "SensorLost",
    "SensorNotFound",
    "ZeroTooLarge",
    "open",
    "simulator",
]
__version__ = "3.1.0"
