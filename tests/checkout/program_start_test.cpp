// The program itself, started where it cannot run: it says on standard error
// what failed and where, in one line, and ends with a failure code.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <set>

#include "storage/run_lock.h"

namespace {

namespace fs = std::filesystem;

struct Ended {
    int exitCode = -1;
    bool crashed = false;
    QString stderrText;
};

Ended run(const QString& program, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(program, args);
    Ended e;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "the program did not end";
        return e;
    }
    e.exitCode = p.exitCode();
    e.crashed = p.exitStatus() != QProcess::NormalExit;
    e.stderrText = QString::fromUtf8(p.readAllStandardError());
    return e;
}

// Copies the program into `dir` and starts it there, off screen.
Ended startProgramIn(const QString& dir) {
    const QString program = dir + "/chengyu_shop";
    fs::copy_file(SHOP_PROGRAM, program.toStdString(), fs::copy_options::overwrite_existing);
    return run(program, {});
}

std::set<std::string> filesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

Ended runTool(const QStringList& args) { return run(QStringLiteral(SHOP_TEST_TOOL), args); }

// The lines the program itself wrote (Qt's own notes about the environment
// are not its words).
QStringList programLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts))
        if (line.startsWith(QStringLiteral("澄屿店铺管理系统"))) lines << line;
    return lines;
}

TEST(ProgramStart, WithoutItsDataFoldersItNamesTheMissingFolderAndFails) {
    QTemporaryDir dir;
    const Ended e = startProgramIn(dir.path());
    EXPECT_FALSE(e.crashed);
    EXPECT_NE(e.exitCode, 0);
    const QStringList lines = programLines(e.stderrText);
    ASSERT_EQ(lines.size(), 1) << e.stderrText.toStdString();
    EXPECT_TRUE(lines[0].contains(dir.path() + "/数据库管理")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains("运行文件夹：" + dir.path())) << lines[0].toStdString();
    // It creates nothing where it cannot run: beside the program only the
    // run folder's lock, which holds no data.
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path().toStdString()))
        left.insert(entry.path().filename().string());
    left.erase(shop::storage::kRunLockName);
    left.erase("chengyu_shop");
    EXPECT_TRUE(left.empty()) << *left.begin();
}

TEST(ProgramStart, AProductSaveTableThatDoesNotOpenIsNamedAndFails) {
    QTemporaryDir dir;
    fs::create_directory(dir.filePath("数据库管理").toStdString());
    std::ofstream(dir.filePath("数据库管理/产品保存.edb").toStdString()) << "not a table";
    const Ended e = startProgramIn(dir.path());
    EXPECT_NE(e.exitCode, 0);
    const QStringList lines = programLines(e.stderrText);
    ASSERT_EQ(lines.size(), 1) << e.stderrText.toStdString();
    EXPECT_TRUE(lines[0].contains("产品保存.edb")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(dir.path())) << lines[0].toStdString();
}

// Whatever stands in the lock file's place, the program and the tool's
// provision and restore refuse a run folder whose lock they cannot hold, in
// one line naming the lock file: two programs on one folder would each
// store the other's journal.
TEST(ProgramStart, ALockFileThatCannotBeHeldStopsTheProgramAndTheTool) {
    struct Case {
        const char* what;
        void (*plant)(const fs::path& lock);
    };
    const Case cases[] = {
        {"a folder", [](const fs::path& lock) { fs::create_directory(lock); }},
        {"a link",
         [](const fs::path& lock) { fs::create_symlink(lock.string() + ".elsewhere", lock); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString runDir = dir.filePath("run");
        ASSERT_EQ(runTool({"provision", runDir, "--demo"}).exitCode, 0);
        ASSERT_EQ(runTool({"backup", runDir, dir.filePath("dest")}).exitCode, 0);
        const QString backup = QString::fromStdString(
            fs::directory_iterator(dir.filePath("dest").toStdString())->path().string());
        const fs::path lock = runDir.toStdString() + "/" + shop::storage::kRunLockName;
        fs::remove(lock);
        c.plant(lock);
        const std::string salesFolder = runDir.toStdString() + "/保存数据库";
        const auto salesBefore = filesIn(salesFolder);

        const Ended program = startProgramIn(runDir);
        EXPECT_NE(program.exitCode, 0);
        const QStringList lines = programLines(program.stderrText);
        ASSERT_EQ(lines.size(), 1) << program.stderrText.toStdString();
        EXPECT_TRUE(lines[0].contains(QString::fromStdString(lock.string())))
            << lines[0].toStdString();
        EXPECT_EQ(filesIn(salesFolder), salesBefore) << "no sales table of its own";

        for (const QStringList& args :
             {QStringList{"provision", runDir}, QStringList{"restore", backup, runDir}}) {
            const Ended tool = runTool(args);
            EXPECT_EQ(tool.exitCode, 1) << args[0].toStdString();
            const QStringList said = tool.stderrText.split('\n', Qt::SkipEmptyParts);
            ASSERT_FALSE(said.isEmpty()) << args[0].toStdString();
            EXPECT_TRUE(said.last().contains(QString::fromStdString(lock.string())))
                << said.last().toStdString();
        }
    }
}

}  // namespace
