#pragma once

#include <QIODevice>
#include <QString>

#include <sys/types.h>

class QFile;

// Opening that never waits in open(2) and takes regular files only: a FIFO, a device or a
// socket in a file's place is refused like a file that cannot be opened. The check is made on
// the opened descriptor, so the file cannot be swapped between the check and its use.

// open(2) of `path` with `flags`; the descriptor (blocking, close-on-exec) when it names a
// regular file, else -1.
int OpenRegularDescriptor(const QString& path, int flags, mode_t mode = 0666);

// Opens `file`, named by its fileName(), for reading, or for writing created or emptied.
bool OpenRegularFile(QFile& file, QIODevice::OpenMode mode);
