// A disk as a power cut sees it. Fed the recorded changes in order, it keeps
// apart what is durable from what is not:
// - a file's data is durable up to its last sync; each later write or
//   truncation may or may not have reached the disk, page by page;
// - a folder's names are durable up to its last sync; the changes after it
//   (create, rename, link, unlink, mkdir, rmdir) reach the disk in order,
//   up to some point.
// `cut` writes out one state a power cut at this moment could leave, drawn
// at random within those rules.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "power_cut_trace.h"

namespace shop::test {

class PowerCutDisk {
public:
    // The folder as it stands now, all of it durable.
    explicit PowerCutDisk(const std::string& root);

    void apply(const TraceOp& op);
    // Writes the state into `dest` (an empty folder).
    void cut(const std::string& dest, std::mt19937& random) const;

    // What the model could not follow (an unfollowed call, a name it does
    // not know); the replay is not to be trusted when this is not empty.
    const std::vector<std::string>& problems() const { return m_problems; }

private:
    struct Entry {
        bool folder = false;
        int id = -1;
        friend bool operator==(const Entry&, const Entry&) = default;
    };
    using Names = std::map<std::string, Entry>;
    // Names set (an entry) or removed (none) together, in one step.
    using NameChange = std::vector<std::pair<std::string, std::optional<Entry>>>;
    struct Folder {
        Names durable, current;
        std::vector<NameChange> pending;
    };
    struct Piece {  // a write (data at offset) or a truncation (to offset)
        std::int64_t offset = 0;
        std::optional<std::string> data;
    };
    struct File {
        std::string durable, current;
        std::vector<Piece> pending;
    };

    int newFile(std::string content);
    int newFolder();
    void change(int folder, NameChange names);
    void writeFile(int file, const Piece& piece);
    // The folder holding `path` and the last name, or nullopt.
    std::optional<std::pair<int, std::string>> place(const std::string& path);
    std::optional<Entry> lookUp(const std::string& path);
    std::optional<Entry> onFd(int pid, int fd);
    void problem(const std::string& what) { m_problems.push_back(what); }

    std::string fileAfterCut(const File& file, std::mt19937& random) const;
    void writeOut(int folder, const std::string& dest, const std::vector<Names>& names,
                  const std::vector<std::string>& contents,
                  std::map<int, std::string>& written) const;

    std::string m_root;
    std::vector<Folder> m_folders;  // [0] is the root
    std::vector<File> m_files;
    std::map<std::pair<int, int>, Entry> m_fds;  // (pid, fd)
    std::vector<std::string> m_problems;
};

}  // namespace shop::test
