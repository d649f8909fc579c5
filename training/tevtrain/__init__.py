"""Training of the fire-and-smoke detector shipped in models/default."""
