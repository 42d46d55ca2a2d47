// Memory files: reader and writer.
