#include "check_findings.h"

#include <cstdio>

namespace {

const char* levelName(CheckFinding::Level level) {
    switch (level) {
    case CheckFinding::Ok: return "ok";
    case CheckFinding::Note: return "note";
    case CheckFinding::Problem: return "problem";
    }
    return "problem";
}

int countOf(const CheckFindings& findings, CheckFinding::Level level) {
    int count = 0;
    for (const CheckFinding& finding : findings) count += finding.level == level;
    return count;
}

std::string plural(int count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

// The text as a JSON string: quotes, backslashes and control bytes escaped.
std::string jsonString(const std::string& text) {
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

}  // namespace

bool playsAsMeant(const CheckFindings& findings) {
    return countOf(findings, CheckFinding::Problem) == 0;
}

std::string checkText(const CheckFindings& findings) {
    std::string text;
    for (const CheckFinding& finding : findings) {
        // Measurements stand alone; what needs a look is marked.
        if (finding.level != CheckFinding::Ok) text += std::string(levelName(finding.level)) + ": ";
        text += finding.subject + ": " + finding.text + "\n";
    }
    const int problems = countOf(findings, CheckFinding::Problem);
    text += "check: " + plural(problems, "problem") + ", " +
            plural(countOf(findings, CheckFinding::Note), "note") + ": the show " +
            (problems ? "will not play as meant" : "will play as meant") + "\n";
    return text;
}

std::string checkJson(const CheckFindings& findings) {
    std::string json = "{\"plays_as_meant\": ";
    json += playsAsMeant(findings) ? "true" : "false";
    json += ", \"problems\": " + std::to_string(countOf(findings, CheckFinding::Problem));
    json += ", \"notes\": " + std::to_string(countOf(findings, CheckFinding::Note));
    json += ", \"findings\": [";
    for (size_t i = 0; i < findings.size(); ++i) {
        const CheckFinding& finding = findings[i];
        json += i ? ", " : "";
        json += "{\"level\": " + jsonString(levelName(finding.level)) +
                ", \"subject\": " + jsonString(finding.subject) +
                ", \"text\": " + jsonString(finding.text) + "}";
    }
    return json + "]}\n";
}
