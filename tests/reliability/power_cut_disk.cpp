#include "power_cut_disk.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace shop::test {

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kPage = 4096;

std::string contentOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return std::move(text).str();
}

void applyPiece(std::string& content, std::int64_t offset, const std::optional<std::string>& data) {
    const auto at = static_cast<std::size_t>(offset);
    if (!data) {
        content.resize(at, '\0');
        return;
    }
    if (content.size() < at + data->size()) content.resize(at + data->size(), '\0');
    content.replace(at, data->size(), *data);
}

}  // namespace

PowerCutDisk::PowerCutDisk(const std::string& root) : m_root(fs::path(root).lexically_normal()) {
    while (m_root.size() > 1 && m_root.back() == '/') m_root.pop_back();
    newFolder();
    std::function<void(const fs::path&, int)> take = [&](const fs::path& dir, int folder) {
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            Entry e;
            if (entry.is_directory() && !entry.is_symlink()) {
                e = {true, newFolder()};
                take(entry.path(), e.id);
            } else {
                e = {false, newFile(contentOf(entry.path()))};
            }
            m_folders[static_cast<std::size_t>(folder)].durable[name] = e;
            m_folders[static_cast<std::size_t>(folder)].current[name] = e;
        }
    };
    take(m_root, 0);
}

int PowerCutDisk::newFile(std::string content) {
    m_files.push_back({content, content, {}});
    return static_cast<int>(m_files.size()) - 1;
}

int PowerCutDisk::newFolder() {
    m_folders.emplace_back();
    return static_cast<int>(m_folders.size()) - 1;
}

void PowerCutDisk::change(int folder, NameChange names) {
    Folder& f = m_folders[static_cast<std::size_t>(folder)];
    for (const auto& [name, entry] : names) {
        if (entry)
            f.current[name] = *entry;
        else
            f.current.erase(name);
    }
    f.pending.push_back(std::move(names));
}

void PowerCutDisk::writeFile(int file, const Piece& piece) {
    File& f = m_files[static_cast<std::size_t>(file)];
    applyPiece(f.current, piece.offset, piece.data);
    f.pending.push_back(piece);
}

std::optional<std::pair<int, std::string>> PowerCutDisk::place(const std::string& path) {
    if (path.compare(0, m_root.size(), m_root) != 0 || path.size() <= m_root.size() + 1) {
        problem("outside the folder: " + path);
        return std::nullopt;
    }
    const fs::path rel = fs::path(path.substr(m_root.size() + 1));
    int folder = 0;
    for (auto it = rel.begin(); it != rel.end(); ++it) {
        if (std::next(it) == rel.end()) return std::make_pair(folder, it->string());
        const Names& names = m_folders[static_cast<std::size_t>(folder)].current;
        const auto found = names.find(it->string());
        if (found == names.end() || !found->second.folder) {
            problem("no folder for " + path);
            return std::nullopt;
        }
        folder = found->second.id;
    }
    return std::nullopt;
}

std::optional<PowerCutDisk::Entry> PowerCutDisk::lookUp(const std::string& path) {
    if (path == m_root) return Entry{true, 0};
    const auto where = place(path);
    if (!where) return std::nullopt;
    const Names& names = m_folders[static_cast<std::size_t>(where->first)].current;
    const auto found = names.find(where->second);
    if (found == names.end()) return std::nullopt;
    return found->second;
}

std::optional<PowerCutDisk::Entry> PowerCutDisk::onFd(int pid, int fd) {
    const auto found = m_fds.find({pid, fd});
    if (found == m_fds.end()) {
        problem("unknown descriptor " + std::to_string(fd));
        return std::nullopt;
    }
    return found->second;
}

void PowerCutDisk::apply(const TraceOp& op) {
    switch (op.op) {
        case SHOP_TRACE_START:
        case SHOP_TRACE_MARK:
            return;
        case SHOP_TRACE_OPEN: {
            std::optional<Entry> e = lookUp(op.path);
            if (!e) {
                const auto where = place(op.path);
                if (!where || !(op.flags & O_CREAT)) {
                    problem("opened a file that is not there: " + op.path);
                    return;
                }
                e = Entry{false, newFile({})};
                change(where->first, {{where->second, e}});
            } else if (!e->folder && (op.flags & O_TRUNC)) {
                writeFile(e->id, {0, std::nullopt});
            }
            m_fds[{op.pid, op.fd}] = *e;
            return;
        }
        case SHOP_TRACE_WRITE:
        case SHOP_TRACE_TRUNCATE: {
            const auto e = op.fd >= 0 ? onFd(op.pid, op.fd) : lookUp(op.path);
            if (!e || e->folder) {
                problem("a write with no file");
                return;
            }
            writeFile(e->id,
                      {op.offset, op.op == SHOP_TRACE_WRITE ? std::optional<std::string>(op.data)
                                                            : std::nullopt});
            return;
        }
        case SHOP_TRACE_SYNC: {
            const auto e = onFd(op.pid, op.fd);
            if (!e) return;
            if (e->folder) {
                Folder& f = m_folders[static_cast<std::size_t>(e->id)];
                f.durable = f.current;
                f.pending.clear();
            } else {
                File& f = m_files[static_cast<std::size_t>(e->id)];
                f.durable = f.current;
                f.pending.clear();
            }
            return;
        }
        case SHOP_TRACE_CLOSE:
            m_fds.erase({op.pid, op.fd});
            return;
        case SHOP_TRACE_DUP:
            if (const auto e = onFd(op.pid, op.fd)) m_fds[{op.pid, op.fd2}] = *e;
            return;
        case SHOP_TRACE_RENAME:
        case SHOP_TRACE_LINK: {
            const auto e = lookUp(op.path);
            const auto from = place(op.path), to = place(op.path2);
            if (!e || !from || !to) {
                problem("renamed or linked a name that is not there: " + op.path);
                return;
            }
            const bool rename = op.op == SHOP_TRACE_RENAME;
            if (rename && from->first == to->first) {
                // One folder: the new name and the old name's end are one step.
                change(to->first, {{to->second, e}, {from->second, std::nullopt}});
                return;
            }
            change(to->first, {{to->second, e}});
            if (rename) change(from->first, {{from->second, std::nullopt}});
            return;
        }
        case SHOP_TRACE_UNLINK:
        case SHOP_TRACE_RMDIR:
            if (const auto where = place(op.path))
                change(where->first, {{where->second, std::nullopt}});
            return;
        case SHOP_TRACE_MKDIR:
            if (const auto where = place(op.path))
                change(where->first, {{where->second, Entry{true, newFolder()}}});
            return;
        case SHOP_TRACE_UNFOLLOWED:
            problem("unfollowed call: " + op.data + " " + op.path);
            return;
    }
    problem("unknown record " + std::to_string(op.op));
}

// The file's size is one it had since its last sync; each page holds one of
// the versions it had since then, picked on its own.
std::string PowerCutDisk::fileAfterCut(const File& file, std::mt19937& random) const {
    const std::size_t n = file.pending.size();
    if (n == 0) return file.durable;
    auto pick = [&random](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    std::vector<std::int64_t> sizes = {static_cast<std::int64_t>(file.durable.size())};
    {
        std::int64_t size = sizes[0];
        for (const Piece& p : file.pending) {
            size = p.data ? std::max<std::int64_t>(
                                size, p.offset + static_cast<std::int64_t>(p.data->size()))
                          : p.offset;
            sizes.push_back(size);
        }
    }
    const std::int64_t size = sizes[pick(sizes.size())];
    const std::size_t pages = static_cast<std::size_t>((size + kPage - 1) / kPage);
    // For each page, the versions that differ: before any change, and after
    // each change that touches it.
    std::vector<std::vector<std::size_t>> versions(pages, std::vector<std::size_t>{0});
    for (std::size_t i = 0; i < n; ++i) {
        const Piece& p = file.pending[i];
        const std::int64_t first = p.offset / kPage;
        const std::int64_t end =
            p.data ? (p.offset + static_cast<std::int64_t>(p.data->size()) + kPage - 1) / kPage
                   : static_cast<std::int64_t>(pages);
        for (std::int64_t page = first; page < end && page < static_cast<std::int64_t>(pages);
             ++page)
            versions[static_cast<std::size_t>(page)].push_back(i + 1);
    }
    std::vector<std::size_t> chosen(pages);
    for (std::size_t page = 0; page < pages; ++page)
        chosen[page] = versions[page][pick(versions[page].size())];

    std::string out(static_cast<std::size_t>(size), '\0');
    std::string running = file.durable;
    for (std::size_t v = 0; v <= n; ++v) {
        if (v > 0) applyPiece(running, file.pending[v - 1].offset, file.pending[v - 1].data);
        for (std::size_t page = 0; page < pages; ++page) {
            if (chosen[page] != v) continue;
            const std::size_t from = page * static_cast<std::size_t>(kPage);
            const std::size_t end = std::min(out.size(), from + static_cast<std::size_t>(kPage));
            if (from < running.size())
                out.replace(from, std::min(end, running.size()) - from,
                            running.substr(from, std::min(end, running.size()) - from));
        }
    }
    return out;
}

void PowerCutDisk::cut(const std::string& dest, std::mt19937& random) const {
    std::vector<Names> names;
    for (const Folder& f : m_folders) {
        Names n = f.durable;
        const std::size_t reached =
            std::uniform_int_distribution<std::size_t>(0, f.pending.size())(random);
        for (std::size_t i = 0; i < reached; ++i)
            for (const auto& [name, entry] : f.pending[i]) {
                if (entry)
                    n[name] = *entry;
                else
                    n.erase(name);
            }
        names.push_back(std::move(n));
    }
    std::vector<std::string> contents;
    for (const File& f : m_files) contents.push_back(fileAfterCut(f, random));
    std::map<int, std::string> written;
    writeOut(0, dest, names, contents, written);
}

void PowerCutDisk::writeOut(int folder, const std::string& dest, const std::vector<Names>& names,
                            const std::vector<std::string>& contents,
                            std::map<int, std::string>& written) const {
    for (const auto& [name, e] : names[static_cast<std::size_t>(folder)]) {
        const std::string path = dest + "/" + name;
        if (e.folder) {
            fs::create_directory(path);
            writeOut(e.id, path, names, contents, written);
            continue;
        }
        // A second name of a file is a second name on the cut disk too.
        if (const auto first = written.find(e.id); first != written.end()) {
            std::error_code ec;
            fs::create_hard_link(first->second, path, ec);
            if (!ec) continue;
        }
        std::ofstream(path, std::ios::binary) << contents[static_cast<std::size_t>(e.id)];
        written.emplace(e.id, path);
    }
}

}  // namespace shop::test
