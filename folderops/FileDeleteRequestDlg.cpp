// The request dialog asked for each read-only file during a deletion.
