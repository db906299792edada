// What a command line prints, for tests that read a file back with a tool
// of its own (pdftotext, pdfinfo, zbarimg).
#pragma once

#include <QString>
#include <cstdio>
#include <memory>
#include <string>

namespace shop::test {

// Standard output of `command` run by the shell; empty when it cannot run.
inline std::string commandOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    if (!pipe) return out;
    char buf[4096];
    while (const std::size_t n = std::fread(buf, 1, sizeof buf, pipe.get())) out.append(buf, n);
    return out;
}

// A path in single quotes for the shell (the test's own paths hold none).
inline std::string shellQuoted(const QString& path) { return "'" + path.toStdString() + "'"; }

}  // namespace shop::test
