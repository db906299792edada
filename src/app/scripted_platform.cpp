#include "scripted_platform.h"

#include <QMutexLocker>

namespace shop::app {

ScriptedPlatform::ScriptedPlatform() { Platform::install(this); }
ScriptedPlatform::~ScriptedPlatform() { Platform::install(nullptr); }

void ScriptedPlatform::message(QWidget*, const QString& text) {
    QMutexLocker lock(&m_mutex);
    m_messages << text;
}

bool ScriptedPlatform::askYesNo(QWidget*, const QString& title, const QString& text) {
    QMutexLocker lock(&m_mutex);
    m_questions << title + "|" + text;
    return m_answers.isEmpty() ? false : m_answers.dequeue();
}

QString ScriptedPlatform::openFileName(QWidget*, const QString& filter) {
    QMutexLocker lock(&m_mutex);
    m_filters << filter;
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

QString ScriptedPlatform::saveFileName(QWidget* parent, const QString& filter,
                                       const QString& suggestedName) {
    {
        QMutexLocker lock(&m_mutex);
        m_suggested << suggestedName;
    }
    return openFileName(parent, filter);
}

void ScriptedPlatform::exitProcess(int code) {
    QMutexLocker lock(&m_mutex);
    if (!m_exited) {
        m_exited = true;
        m_exitCode = code;
    }
}

void ScriptedPlatform::queueAnswer(bool yes) {
    QMutexLocker lock(&m_mutex);
    m_answers.enqueue(yes);
}

void ScriptedPlatform::queueFile(const QString& path) {
    QMutexLocker lock(&m_mutex);
    m_files.enqueue(path);
}

QStringList ScriptedPlatform::messages() const {
    QMutexLocker lock(&m_mutex);
    return m_messages;
}
QStringList ScriptedPlatform::questions() const {
    QMutexLocker lock(&m_mutex);
    return m_questions;
}
QStringList ScriptedPlatform::fileFilters() const {
    QMutexLocker lock(&m_mutex);
    return m_filters;
}
QStringList ScriptedPlatform::suggestedNames() const {
    QMutexLocker lock(&m_mutex);
    return m_suggested;
}
bool ScriptedPlatform::exited() const {
    QMutexLocker lock(&m_mutex);
    return m_exited;
}
int ScriptedPlatform::exitCode() const {
    QMutexLocker lock(&m_mutex);
    return m_exitCode;
}
void ScriptedPlatform::clear() {
    QMutexLocker lock(&m_mutex);
    m_messages.clear();
    m_questions.clear();
    m_filters.clear();
    m_suggested.clear();
    m_exited = false;
    m_exitCode = -1;
}

}  // namespace shop::app
