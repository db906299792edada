// Employees for the leave and salary tests and benchmarks: records written
// straight into the employee table, with a picture as their photo; and what
// those tests read back from tables and report lists.
#pragma once

#include <QBuffer>
#include <QColor>
#include <QDate>
#include <QImage>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "storage/date_text.h"
#include "storage/schemas.h"
#include "storage/table.h"

namespace shop::test {

struct Staff {
    std::string number;
    std::string name;
    std::string photo;  // image file bytes; empty for no photo
};

// A picture of the given size in one colour, as the bytes of an image file.
inline std::string pictureBytes(int width, int height, QColor colour = QColor(40, 120, 200),
                                const char* format = "BMP") {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data().toStdString();
}

// Appends the employees to the employee table at `path`, fields 1 to 3 and a
// post in field 19; leaves this thread's other tables as they were.
inline void addStaff(const std::string& path, const std::vector<Staff>& staff) {
    namespace st = shop::storage;
    namespace f = st::schemas::employee_field;
    const std::string previous = st::currentPath();
    if (!st::open(path)) return;
    st::Batch batch;
    for (const Staff& s : staff) {
        st::appendBlank();
        st::writeField(f::kPhoto, st::Value::bytes(s.photo));
        st::writeText(f::kNumber, s.number);
        st::writeText(f::kName, s.name);
        st::writeText(f::kPost, "店员");
    }
    batch.commit();
    st::close(path);
    if (!previous.empty()) st::select(previous);
}

using Rows = std::vector<std::vector<std::string>>;

// The texts of every row of a report list, column by column.
inline Rows rowsOf(const QTreeWidget* list) {
    Rows rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        std::vector<std::string> row;
        for (int c = 0; c < list->columnCount(); ++c)
            row.push_back(list->topLevelItem(i)->text(c).toStdString());
        rows.push_back(std::move(row));
    }
    return rows;
}

// The date text of a day, as the windows store it.
inline std::string dayText(QDate d) { return storage::dateText({d.year(), d.month(), d.day()}); }

// The field descriptions of the table at `path` (empty when it does not open).
inline std::vector<storage::FieldDesc> fieldsOf(const std::string& path) {
    const std::string previous = storage::currentPath();
    if (!storage::open(path, true)) return {};
    std::vector<storage::FieldDesc> fields = storage::fields();
    storage::close(path);
    if (!previous.empty()) storage::select(previous);
    return fields;
}

}  // namespace shop::test
