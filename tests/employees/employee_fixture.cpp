#include "employee_fixture.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTextDocument>

#include "storage/schemas.h"
#include "storage/table.h"

namespace shop::test {

using employees::EmployeeRecord;
namespace st = storage;
namespace f = storage::schemas::employee_field;

EmployeeRecord sampleEmployee(const std::string& name, const std::string& photo) {
    EmployeeRecord r;
    for (int position = 2; position <= employees::kFieldCount; ++position)
        r[position] = "项" + std::to_string(position) + "-" + name;
    r[f::kName] = name;
    r[f::kPhoto] = photo;
    return r;
}

namespace {
struct RestoreCurrent {
    std::string path = st::currentPath();
    ~RestoreCurrent() {
        if (!path.empty()) st::select(path);
    }
};
}  // namespace

void addEmployees(const std::string& path, const std::vector<EmployeeRecord>& records) {
    RestoreCurrent restore;
    const bool wasOpen = st::select(path);
    if (!st::open(path)) return;
    {
        st::Batch batch;
        for (const EmployeeRecord& r : records) {
            st::appendBlank();
            st::writeField(f::kPhoto, st::Value::bytes(r[f::kPhoto]));
            for (int position = 2; position <= employees::kFieldCount; ++position)
                st::writeText(position, r[position]);
        }
        batch.commit();
    }
    if (!wasOpen) st::close();
}

std::vector<EmployeeRecord> employeesIn(const std::string& path) {
    RestoreCurrent restore;
    const bool wasOpen = st::select(path);
    std::vector<EmployeeRecord> rows;
    if (!st::open(path, true)) return rows;
    const int n = st::recordCount();
    for (int i = 0; i < n; ++i) {
        EmployeeRecord r;
        for (int position = 1; position <= employees::kFieldCount; ++position)
            r[position] = st::readText(position);
        rows.push_back(std::move(r));
        st::skip(1);
    }
    if (!wasOpen) st::close();
    return rows;
}

QByteArray pictureBytes(int width, int height, const char* format, QColor colour) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
}

QStringList captionLines(const QString& labelText) {
    QTextDocument doc;
    doc.setHtml(labelText);
    return doc.toPlainText().split(QChar('\n'));
}

}  // namespace shop::test
