// make-data's record of what it wrote: the digests it keeps and the text of .version.
#include "pack_record.h"
#include "sha256.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// The standard's own examples, and lengths around the 55/56/64-byte padding boundaries
// checked against sha256sum.
TEST(DataRecord, Sha256MatchesKnownDigests) {
    EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(sha256Hex(std::string(55, 'a')), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
    EXPECT_EQ(sha256Hex(std::string(56, 'a')), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
    EXPECT_EQ(sha256Hex(std::string(64, 'a')), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb");
    EXPECT_EQ(sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// The text lists the files in the order given, as sha256sum prints them, and reads back
// to the same record; lines of another shape are passed over.
TEST(DataRecord, RecordTextRoundTrips) {
    PackRecord record;
    record.version = "make-data 1";
    record.digests["b.png"] = std::string(64, 'b');
    record.digests["jtranim/a.png"] = std::string(64, 'a');
    const std::string text = formatPackRecord(record, {"jtranim/a.png", "missing.png", "b.png"});
    EXPECT_EQ(text, "make-data 1\n" + std::string(64, 'a') + "  jtranim/a.png\n" + std::string(64, 'b') +
                        "  b.png\n");

    const std::filesystem::path path = std::filesystem::temp_directory_path() / "data_record_test.version";
    std::ofstream(path) << text << "not a digest  x.png\n" << std::string(64, 'A') << "  upper.png\n"
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
