// Replaced by the simulator's sources.
