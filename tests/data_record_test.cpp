// make-data's record of what it wrote: the digests it keeps and the text of .version.
#include "pack_record.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// The text lists the files in the order given, as sha256sum prints them, and reads back
// to the same record; lines of another shape are passed over.
TEST(DataRecord, RecordTextRoundTrips) {
    PackRecord record;
    record.version = "make-data 1";
    record.digests["b.png"] = std::string(64, 'b');
    record.digests["jtranim/a.png"] = std::string(64, 'a');
    const std::string text = formatPackRecord(record, {"jtranim/a.png", "missing.png", "b.png"});
    EXPECT_EQ(text, "make-data 1\n" + std::string(64, 'a') + "  jtranim/a.png\n" +
                        std::string(64, 'b') + "  b.png\n");

    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "data_record_test.version";
    std::ofstream(path) << text << "not a digest  x.png\n"
                        << std::string(64, 'A') << "  upper.png\n"
                        << std::string(64, 'c') << " one-space.png\n";
    PackRecord read;
    ASSERT_TRUE(readPackRecord(path.string(), read));
    EXPECT_EQ(read.version, "make-data 1");
    EXPECT_EQ(read.digests, record.digests);
    std::filesystem::remove(path);
    EXPECT_FALSE(readPackRecord(path.string(), read));
    EXPECT_TRUE(read.digests.empty());
}

}  // namespace
