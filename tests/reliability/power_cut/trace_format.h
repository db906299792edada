/* The trace the file-operation recorder (trace_shim.c) writes: one record per
 * change a program makes under the traced folder, in the order the changes
 * happened, each a fixed header followed by its path, second path and data.
 * Read back by trace.cpp; shared as C so the recorder needs no C++ runtime. */
#ifndef SHOP_TRACE_FORMAT_H
#define SHOP_TRACE_FORMAT_H

#include <stdint.h>

enum shop_trace_op {
    SHOP_TRACE_START = 1, /* a process began recording: pid */
    SHOP_TRACE_OPEN,      /* fd opened on path with flags (O_CREAT, O_TRUNC, ...) */
    SHOP_TRACE_WRITE,     /* data written to fd at offset */
    SHOP_TRACE_TRUNCATE,  /* fd (or path, when fd is -1) cut or grown to offset bytes */
    SHOP_TRACE_SYNC,      /* fsync or fdatasync of fd (a file or a folder) */
    SHOP_TRACE_CLOSE,     /* fd closed */
    SHOP_TRACE_DUP,       /* fd2 now refers to what fd refers to */
    SHOP_TRACE_RENAME,    /* path renamed to path2 (flags: renameat2's) */
    SHOP_TRACE_LINK,      /* path2 made a second name of path */
    SHOP_TRACE_UNLINK,    /* the name path removed */
    SHOP_TRACE_RMDIR,     /* the empty folder path removed */
    SHOP_TRACE_MKDIR,     /* the folder path made */
    SHOP_TRACE_MARK,      /* data the program wrote to its mark fd (its progress reports) */
    SHOP_TRACE_UNFOLLOWED /* a change the trace cannot say (data names the call) */
};

struct shop_trace_record {
    uint32_t op;
    int32_t pid;
    int32_t fd;
    int32_t fd2;
    int64_t offset;
    int64_t flags;
    uint32_t path_len;
    uint32_t path2_len;
    uint64_t data_len;
};

#endif
