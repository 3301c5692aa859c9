// Replaced by the link layer's sources.
