// The services that let long work share the user-interface thread: the
// message pump, the folder listing and the background starter.
#include "app/event_services.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

namespace shop::app {
namespace {

TEST(PumpMessages, ReturnsWithoutWaitingForLaterEvents) {
    bool fired = false;
    QTimer later;
    later.setSingleShot(true);
    QObject::connect(&later, &QTimer::timeout, [&] { fired = true; });
    later.start(60 * 1000);
    pumpMessages();
    pumpMessages();
    EXPECT_FALSE(fired);
    EXPECT_TRUE(later.isActive());
}

TEST(PumpMessages, RunsTheEventsWaitingForTheThread) {
    int ran = 0;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { ++ran; }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { ++ran; }, Qt::QueuedConnection);
    EXPECT_EQ(ran, 0);
    pumpMessages();
    EXPECT_EQ(ran, 2);
}

class ListFolderTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    void touch(const QString& name) {
        std::ofstream((dir.path() + "/" + name).toStdString()) << "x";
    }
};

TEST_F(ListFolderTest, GivesTheNamesThatMatchWithoutTheFolder) {
    touch("销售数据2024年3月5日14时7分9秒.edb");
    touch("销售数据2024年3月6日.edb");
    touch("notes.txt");
    const QStringList all = listFolder(dir.path(), "*.*");
    EXPECT_EQ(std::set<QString>(all.begin(), all.end()),
              (std::set<QString>{"销售数据2024年3月5日14时7分9秒.edb", "销售数据2024年3月6日.edb",
                                 "notes.txt"}));
    const QStringList tables = listFolder(dir.path() + "/", "*.edb");
    EXPECT_EQ(tables.size(), 2);
    for (const QString& t : tables) EXPECT_TRUE(t.endsWith(".edb")) << t.toStdString();
    EXPECT_TRUE(listFolder(dir.path(), "*.bmp").isEmpty());
    EXPECT_TRUE(listFolder(dir.path() + "/missing", "*.*").isEmpty());
}

TEST_F(ListFolderTest, AClickQueuedDuringTheListingIsHandledBeforeItEnds) {
    for (int i = 0; i < 5; ++i) touch(QString("f%1.edb").arg(i));
    QPushButton button;
    QStringList log;
    QObject::connect(&button, &QPushButton::clicked, [&] { log << "clicked"; });
    QMetaObject::invokeMethod(
        &button, [&] { button.click(); }, Qt::QueuedConnection);
    const QStringList names = listFolder(dir.path(), "*.edb");
    log << "listed";
    EXPECT_EQ(names.size(), 5);
    EXPECT_EQ(log, (QStringList{"clicked", "listed"}));
}

TEST(StartBackground, EachStartRunsOnANewThreadWithoutWaiting) {
    // Shared with the threads, which may still be returning after the test.
    struct Shared {
        std::mutex m;
        std::condition_variable cv;
        int running = 0;
        bool release = false;
        std::set<std::thread::id> threads;
    };
    auto s = std::make_shared<Shared>();
    auto routine = [s] {
        std::unique_lock lock(s->m);
        s->threads.insert(std::this_thread::get_id());
        ++s->running;
        s->cv.notify_all();
        s->cv.wait(lock, [&] { return s->release; });  // still running when the next starts
        --s->running;
        s->cv.notify_all();
    };
    startBackground(routine);
    startBackground(routine);
    std::unique_lock lock(s->m);
    ASSERT_TRUE(s->cv.wait_for(lock, std::chrono::seconds(10), [&] { return s->running == 2; }));
    EXPECT_EQ(s->threads.size(), 2u);
    EXPECT_EQ(s->threads.count(std::this_thread::get_id()), 0u);
    s->release = true;
    s->cv.notify_all();
    EXPECT_TRUE(s->cv.wait_for(lock, std::chrono::seconds(10), [&] { return s->running == 0; }));
}

}  // namespace
}  // namespace shop::app
