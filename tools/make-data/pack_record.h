#pragma once
#include <map>
#include <string>
#include <vector>

// What make-data wrote into a data folder, kept in the folder's .version file: the
// tool's version on the first line, then one line per file, "<sha256>  <name>" as
// sha256sum prints it. A file whose bytes still have the recorded digest is make-data's
// own; any other is the user's and is never replaced.
struct PackRecord {
    std::string version;
    std::map<std::string, std::string> digests;  // file name in the folder -> sha256 hex
};

// The record in text; false when there is none (no file, unreadable). Lines that are not
// "<64 hex digits>  <name>" are skipped.
bool readPackRecord(const std::string& path, PackRecord& record);

// The text of record, its files in the order of names (names without a digest left out).
std::string formatPackRecord(const PackRecord& record, const std::vector<std::string>& names);
