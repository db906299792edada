// The program's own file dialogs: opened centred over the window that asked,
// starting among the user's pictures (a photo) or documents (a file to save),
// or the home folder when there are none, never in the working folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include "app/placement.h"
#include "app/platform.h"

namespace shop::app {
namespace {

class FileDialog : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldHome = qgetenv("HOME");
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", m_home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");  // no user-dirs.dirs: the folders are under HOME
    }
    void TearDown() override {
        qputenv("HOME", m_oldHome);
        if (!m_oldConfig.isEmpty()) qputenv("XDG_CONFIG_HOME", m_oldConfig);
    }
    QTemporaryDir m_home;
    QByteArray m_oldHome, m_oldConfig;
};

TEST_F(FileDialog, OpensCentredOverItsWindowInTheUsersFolder) {
    const struct {
        const char* what;
        bool open;
        const char* made;      // folder made in the home folder first, or none
        const char* startsIn;  // relative to the home folder
    } cases[] = {
        {"a photo, with a pictures folder", true, "Pictures", "Pictures"},
        {"a photo, without one", true, nullptr, ""},
        {"a save, with a documents folder", false, "Documents", "Documents"},
        {"a save, without one", false, nullptr, ""},
    };
    for (const auto& c : cases) {
        QDir home(m_home.path());
        for (const char* f : {"Pictures", "Documents"}) home.rmdir(QString::fromUtf8(f));
        if (c.made) {
            ASSERT_TRUE(home.mkdir(QString::fromUtf8(c.made)));
        }
        QWidget owner;
        owner.setGeometry(30, 20, 740, 560);
        owner.show();
        QString seenIn;
        QRect seenAt;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr) << c.what;
            seenIn = QDir(dialog->directory()).canonicalPath();
            seenAt = dialog->frameGeometry();
            dialog->reject();
        });
        const QString chosen = c.open ? chooseOpenFile(&owner, QStringLiteral("图片 (*.png)"))
                                      : chooseSaveFile(&owner, QStringLiteral("PDF (*.pdf)"),
                                                       QStringLiteral("账单.pdf"));
        EXPECT_TRUE(chosen.isEmpty()) << c.what;
        EXPECT_EQ(seenIn, QDir(home.filePath(QString::fromUtf8(c.startsIn))).canonicalPath())
            << c.what;
        EXPECT_NE(seenIn, QDir::current().canonicalPath()) << c.what;
        // Centred over the owner, as far as the screen lets it be.
        ASSERT_TRUE(seenAt.isValid()) << c.what;
        EXPECT_EQ(seenAt.topLeft(), centredOver(seenAt.size(), owner.frameGeometry(),
                                                owner.screen()->availableGeometry()))
            << c.what;
        EXPECT_TRUE(owner.screen()->availableGeometry().contains(seenAt)) << c.what;
    }
}

}  // namespace
}  // namespace shop::app
