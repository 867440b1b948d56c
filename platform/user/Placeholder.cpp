// Removed once the window layer has sources of its own.
