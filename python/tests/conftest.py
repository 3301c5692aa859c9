"""The tests use the simulated sensor bus and the library of the build (RFSENSE_LIBRARY)."""

import os

os.environ.setdefault("RFSENSE_LINK", "sim")
