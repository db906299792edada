// Durable file steps for the journal: each returns only once what it did
// survives a power cut.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace shop::checkout {

bool writeAll(int fd, std::string_view data);
// A rename or an unlink lasts only once the folder holding it is synced.
bool syncFolderOf(const std::string& path);

// Writes `content` into a new file beside `path`, syncs it, renames it over
// `path` and syncs the folder: `path` holds either its old content or all of
// the new, and nothing planted beside it is followed (storage/file_replace.h).
// Returns the new file open for appending, or -1 with `path` untouched.
int replaceFile(const std::string& path, std::string_view content);

// Unlinks the file (and a temporary left beside it by a replacement cut
// short); true when it is gone or was never there.
bool removeFile(const std::string& path);

// Moves the file to a free name "<path><suffix>[n]", replacing nothing;
// the new name, or nullopt when it stays where it is.
std::optional<std::string> setAside(const std::string& path, std::string_view suffix);

std::optional<std::string> readFile(const std::string& path);

}  // namespace shop::checkout
