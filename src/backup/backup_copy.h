// Copying single files for backups and restores, each copy hashed as it is
// made and flushed to disk before anyone relies on it.
#pragma once

#include <cstdint>
#include <string>

namespace shop::backup::detail {

struct Copied {
    std::uint64_t size = 0;
    std::string sha256;
};

// A consistent copy of a table that the program may be writing right now:
// SQLite's online backup takes every page under one read lock, so the copy
// holds whole transactions only. `dest` must not exist. The copy is checked
// to be a table file, flushed, and hashed.
// SourceRefused: the source is missing, foreign or damaged (nothing to save);
// Failed: the copy could not be made or kept (a full disk, for example).
enum class TableCopy { Done, SourceRefused, Failed };
TableCopy copyTable(const std::string& source, const std::string& dest, Copied* out,
                    std::string* why);

// Byte copy of a file that is replaced atomically by its writer (the
// settings file) or that nobody writes (a backup's file). `dest` must not
// exist; it is flushed before this returns.
bool copyFile(const std::string& source, const std::string& dest, Copied* out, std::string* why);

// fsync of a file or a folder (the latter makes renames and links in it last).
bool syncPath(const std::string& path, bool folder);

}  // namespace shop::backup::detail
