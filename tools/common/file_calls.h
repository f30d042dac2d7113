#pragma once
// The system calls under the tools' output files, one file per platform. Names are bytes
// on POSIX systems; on Windows they are UTF-8, opened through the wide-character calls so
// that any name works. Failures set errno.
#include <cstddef>
#include <string>

enum class NameKind { None, Folder, RegularFile, Fifo, Other };

// What is at path, links followed; None when nothing is (or it cannot be looked at).
// permissions: the mode bits of an existing file, 0 where the system has none.
NameKind nameKind(const std::string& path, unsigned& permissions);

// path with every symbolic link at its end followed; a dangling link gives the name it
// points to, to be created. False on a loop or an unreadable link.
bool followLinks(const std::string& path, std::string& target);

// 0, or the errno of why the one folder could not be made.
int makeFolder(const std::string& path);

// Opens an existing file for writing without truncating it; -1 on failure. `probe`: only
// to learn whether a write would be allowed, never waiting (on a FIFO, say).
int openExisting(const std::string& path, bool probe);

// Opens the FIFO at path for writing once a reader has it open, giving up once the run is
// interrupted; -1 on failure (on Windows always: it has no such files).
int openFifoWhenRead(const std::string& path);

// Creates a new file for writing, failing with EEXIST when the name is taken; -1 on
// failure. A non-zero permissions replaces the new file's mode bits.
int createNewFile(const std::string& path, unsigned permissions);

// One write of up to size bytes: the count written, or -1.
long writeSome(int fd, const void* data, size_t size);

// 0, or -1 when closing failed (and written data may have been lost).
int closeFile(int fd);

// Renames from over to, replacing what to names.
bool replaceFile(const std::string& from, const std::string& to);

void removeFile(const std::string& path);

long processId();
