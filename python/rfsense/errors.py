"""The library's result codes as exceptions."""

# Result codes of librfsense.
NOT_CONNECTED = 0
DONE = 1
OVER_RANGE = 2
EQUATION_DEFAULTS = 5
CAL_FACTOR_TABLE_ERROR = 6
OFFSET_OUT_OF_RANGE = 8
DUTY_CYCLE_OUT_OF_RANGE = 9
RELATIVE_OFF = 10
FREQUENCY_OUT_OF_RANGE = 11
CAL_FACTOR_OUT_OF_RANGE = 12
ZERO_TOO_LARGE = 13
TCD_FILE_MISSING = 18
TCD_FILE_NO_SECTION = 19
RESOLUTION_OUT_OF_RANGE = 22
TCD_CHECKSUM = 23
LINEARITY_CHECKSUM = 24
NO_LINEARITY_TABLE = 25
NOT_RESPONDING = 27


class SensorError(Exception):
    """A sensor operation that did not succeed; `code` is the library's result."""

    def __init__(self, message, code=None):
        super().__init__(message)
        self.code = code


class SensorNotFound(SensorError):
    """No (matching) sensor is connected."""


class SensorLost(SensorError):
    """The sensor stopped answering while in use (unplugged?)."""


class NotResponding(SensorError):
    """The sensor was found but never reported ready: disconnect and reconnect it."""


class ZeroTooLarge(SensorError):
    """The zero offset is too large: RF power was applied while zeroing."""


# Start-up results that leave a working session with defaults in place.
STARTUP_WARNINGS = {
    EQUATION_DEFAULTS: "the sensor's equation is missing or damaged: default equation in use",
    CAL_FACTOR_TABLE_ERROR: "the cal factor table is missing or damaged: 100 % in use",
    TCD_FILE_MISSING: "tcd.dat not found: no temperature compensation",
    TCD_FILE_NO_SECTION: "tcd.dat has no data for this sensor: no temperature compensation",
    TCD_CHECKSUM: "tcd.dat is damaged: no temperature compensation",
    LINEARITY_CHECKSUM: "the linearity table is damaged: no linearity correction",
    NO_LINEARITY_TABLE: "the sensor has no linearity table: no linearity correction",
}
