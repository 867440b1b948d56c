// Removed once the runtime library has sources of its own.
