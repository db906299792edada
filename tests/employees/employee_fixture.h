// Employees and photos for the employee window tests: records written straight
// into the employee table, picture files, and the form filled completely.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "employees/employee_table.h"

class QWidget;

namespace shop::test {

// A complete record whose texts all carry `name`, e.g. "编号-张三"; field 3
// is the name itself and field 1 holds `photo`.
employees::EmployeeRecord sampleEmployee(const std::string& name, const std::string& photo = {});

// Appends the records to the employee table at `path` (closing it afterwards
// when it was not open before).
void addEmployees(const std::string& path, const std::vector<employees::EmployeeRecord>& records);

// Every record of the table at `path`, photo bytes included.
std::vector<employees::EmployeeRecord> employeesIn(const std::string& path);

// A picture of the given size in one colour, as the file bytes of `format`
// ("BMP", "PNG", "JPEG").
QByteArray pictureBytes(int width, int height, const char* format,
                        QColor colour = QColor(40, 120, 200));
inline QByteArray bmpBytes(int width, int height, QColor colour = QColor(40, 120, 200)) {
    return pictureBytes(width, height, "BMP", colour);
}
// Writes the bytes to `path` and returns the path.
QString writeFile(const QString& path, const QByteArray& bytes);

// The lines a caption label shows, its markup taken away.
QStringList captionLines(const QString& labelText);

}  // namespace shop::test
