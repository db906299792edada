// A whole table read at once, for a query that reads many tables and writes
// none: the sales performance query reads thousands of them per click.
//
// The table is opened through a connection of its own, read-only, read in
// one read transaction and closed again. It never joins the calling thread's
// open-table set, so it neither becomes current nor disturbs a table the
// thread keeps open (the run's own sales table stays writable). The file is
// checked as an open checks it (header, tags, schema, field descriptions,
// record numbering), but none of a writer's set-up is done: no journal mode,
// no durability settings, no check before a first write. A file that fails
// a check is refused and never written to.
//
// One read transaction takes the file's read lock once for the whole read
// and gives one consistent view of it while another connection writes: the
// records committed before the read began, nothing of a write in flight.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "status.h"
#include "table.h"

namespace shop::storage {

struct TableContents {
    // Ok; or why the table did not open (then `opened` is false and there
    // are no records); or the first value that could not be read (its cell
    // is left empty, and every other value is still read).
    Status status;
    bool opened = false;
    std::vector<FieldDesc> fields;  // every field of the table
    int width = 0;                  // values read per record: fields 1..width
    // `width` values per record, record 1 first, each as readText gives it:
    // a text as stored, a byte field's bytes, a value never written empty.
    std::vector<std::string> cells;

    std::size_t recordCount() const {
        return width > 0 ? cells.size() / static_cast<std::size_t>(width) : 0;
    }
};

// Fields 1..firstFields (every field when the table has fewer) of every
// record of the table at `path`. A failure is recorded as other operations
// record theirs (lastStatus(), the failure log) and is also in `status`.
// Should a damaged page stop the read, the table is read again by the read
// loop (open, readText, skip), which reads around damage record by record:
// the values are the loop's, and the calling thread's current table and
// cursor are put back afterwards.
// A hot journal left by a killed writer is rolled back first, as an open
// does, so the records read are the last committed ones.
TableContents readAllRecords(const std::string& path, int firstFields);

}  // namespace shop::storage
