// A platform for tests: records every text shown, answers questions and file
// dialogs from queues, and records an exit instead of ending the process.
#pragma once

#include <QMutex>
#include <QQueue>
#include <QStringList>

#include "platform.h"

namespace shop::app {

class ScriptedPlatform : public Platform {
public:
    ScriptedPlatform();            // installs itself
    ~ScriptedPlatform() override;  // puts the real platform back

    void message(QWidget* parent, const QString& text) override;
    bool askYesNo(QWidget* parent, const QString& title, const QString& text) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    // Answers from the same queue of files as openFileName; the filter is
    // recorded with the open dialogs' filters.
    QString saveFileName(QWidget* parent, const QString& filter,
                         const QString& suggestedName) override;
    // Records the code (the first exit wins) and returns; callers return
    // right after asking to end the process.
    void exitProcess(int code) override;

    // Script.
    void queueAnswer(bool yes);
    void queueFile(const QString& path);

    // What happened. Thread-safe.
    QStringList messages() const;
    QStringList questions() const;  // "title|text"
    QStringList fileFilters() const;
    QStringList suggestedNames() const;  // what each save dialog offered, in order
    bool exited() const;
    int exitCode() const;
    void clear();

private:
    mutable QMutex m_mutex;
    QStringList m_messages, m_questions, m_filters, m_suggested;
    QQueue<bool> m_answers;
    QQueue<QString> m_files;
    bool m_exited = false;
    int m_exitCode = -1;
};

}  // namespace shop::app
