// zblibrary query: runs a query given as tag conditions against the opened library and prints
// the matching sources (or, with --values, the distinct values of a tag).
#pragma once

class CMediaLibrary;

// argv holds what follows "query"; the exit code (2 for a usage error).
int RunQueryCommand(CMediaLibrary* library, int argc, char** argv);
