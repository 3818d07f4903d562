// The progress-and-kill dialog shown while the recursive scan runs.
