// Replacing a small file whole: the journal, the settings file, the exports.
//
// The new content goes into a file made afresh beside the target, under a
// name nobody can guess and created exclusively, so nothing planted there (a
// link to a file elsewhere, a second name of one) is ever opened. It is
// synced, renamed over the target and the folder is synced, so the target
// holds its old content or all of the new, also after a power cut. The
// rename replaces the name itself: a link standing at the target is
// replaced, never followed, and a file that another name also reaches keeps
// its content.
#pragma once

#include <string>
#include <string_view>

namespace shop::storage {

bool writeAll(int fd, std::string_view data);

// Syncs the folder that holds `path`: a rename, link or unlink in it lasts
// only once its folder is synced.
bool syncFolderOf(const std::string& path);

// Replaces `path` as above; the new file stays open for appending and its
// descriptor is returned, or -1 with `path` untouched.
int replaceFileKeepingOpen(const std::string& path, std::string_view content);
// The same, closed again; true when `path` durably holds `content`.
bool replaceFile(const std::string& path, std::string_view content);

// Removes the temporary files that replacements of `path` cut short (a
// crash, a full disk) left beside it.
void removeReplacementLeftovers(const std::string& path);

}  // namespace shop::storage
