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

// Appends `bytes` to the regular file at `path`, made with `mode` when missing. Empty when
// done, else why not.
QString AppendToRegularFile(const QString& path, const QByteArray& bytes, mode_t mode);

// Makes `contents` the whole file at `path`: written beside it under a temporary name and
// renamed into place, so a reader never sees half a file and a failed write leaves the old one
// as it was. Whatever stood at `path`, a symbolic link included, is replaced itself, never
// written through. The file gets `permissions`. Empty when done, else why it failed.
QString ReplaceFile(const QString& path, const QByteArray& contents, mode_t permissions = 0644);
