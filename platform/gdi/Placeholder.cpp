// Removed once the drawing layer has sources of its own.
