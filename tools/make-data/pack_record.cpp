#include "pack_record.h"

#include "pending_file.h"

namespace {

constexpr size_t kDigestDigits = 64;

bool isDigest(const std::string& text) {
    if (text.size() != kDigestDigits) return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

}  // namespace

bool readPackRecord(const std::string& path, PackRecord& record) {
    record = PackRecord();
    std::string text;
    if (!readWholeFile(path, text)) return false;
    size_t start = 0;
    bool first = true;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (first) {
            record.version = line;
            first = false;
            continue;
        }
        if (line.size() > kDigestDigits + 2 && line.compare(kDigestDigits, 2, "  ") == 0 &&
            isDigest(line.substr(0, kDigestDigits)))
            record.digests[line.substr(kDigestDigits + 2)] = line.substr(0, kDigestDigits);
    }
    return true;
}

std::string formatPackRecord(const PackRecord& record, const std::vector<std::string>& names) {
    std::string text = record.version + "\n";
    for (const std::string& name : names) {
        const auto found = record.digests.find(name);
        if (found != record.digests.end()) text += found->second + "  " + name + "\n";
    }
    return text;
}
