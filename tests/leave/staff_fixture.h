// Employees for the leave and salary tests and benchmarks: records written
// straight into the employee table, with a picture as their photo.
#pragma once

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <string>
#include <vector>

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

}  // namespace shop::test
