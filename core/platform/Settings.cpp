// Reading and writing of "VELTA.ini" lines; see Settings.h for the rules kept.
#include "platform/Settings.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace vortel {
namespace {

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
    return s.substr(b, e - b);
}

bool equalNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::vector<std::string> readLines(const std::string& path, bool& exists) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    exists = static_cast<bool>(in);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// "[name]" -> name, or nothing when the line is not a section header.
bool sectionName(const std::string& line, std::string& name) {
    std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    size_t close = t.find(']');
    if (close == std::string::npos) return false;
    name = trim(t.substr(1, close - 1));
    return true;
}

bool keyValue(const std::string& line, std::string& key, std::string& value) {
    size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    key = trim(line.substr(0, eq));
    value = trim(line.substr(eq + 1));
    return true;
}

}  // namespace

std::string Settings::getString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const {
    bool exists = false;
    std::vector<std::string> lines = readLines(m_path, exists);
    bool inSection = false;
    for (const std::string& line : lines) {
        std::string name, k, v;
        if (sectionName(line, name)) {
            inSection = equalNoCase(name, section);
            continue;
        }
        if (inSection && keyValue(line, k, v) && equalNoCase(k, key)) return v;
    }
    return defaultValue;
}

int Settings::getInt(const std::string& section, const std::string& key, int defaultValue) const {
    const std::string marker = "\x01missing";
    std::string v = getString(section, key, marker);
    if (v == marker) return defaultValue;
    size_t i = 0;
    bool negative = false;
    if (i < v.size() && (v[i] == '-' || v[i] == '+')) negative = v[i++] == '-';
    long long n = 0;
    for (; i < v.size() && std::isdigit(static_cast<unsigned char>(v[i])); ++i) {
        n = n * 10 + (v[i] - '0');
        if (n > 0x7fffffffLL) n = 0x7fffffffLL + 1;
    }
    if (negative) n = -n;
    if (n > 0x7fffffffLL) n = 0x7fffffffLL;
    return static_cast<int>(n);
}

bool Settings::writeString(const std::string& section, const std::string& key, const std::string& value) {
    if (m_path.empty()) return false;
    bool exists = false;
    std::vector<std::string> lines = readLines(m_path, exists);
    bool inSection = false, sectionSeen = false, done = false;
    size_t insertAt = lines.size();
    for (size_t i = 0; i < lines.size() && !done; ++i) {
        std::string name, k, v;
        if (sectionName(lines[i], name)) {
            if (inSection) break;  // end of our section: append the key here
            inSection = equalNoCase(name, section);
            if (inSection) {
                sectionSeen = true;
                insertAt = i + 1;
            }
            continue;
        }
        if (!inSection) continue;
        if (keyValue(lines[i], k, v) && equalNoCase(k, key)) {
            lines[i] = k + "=" + value;
            done = true;
        } else if (!trim(lines[i]).empty()) {
            insertAt = i + 1;
        }
    }
    if (!done) {
        if (sectionSeen) {
            lines.insert(lines.begin() + static_cast<long>(insertAt), key + "=" + value);
        } else {
            lines.push_back("[" + section + "]");
            lines.push_back(key + "=" + value);
        }
    }
    // One scratch name per process: two programs writing at once each replace the whole file.
    std::string tmp = m_path + "." + std::to_string(getpid()) + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        for (const std::string& l : lines) out << l << '\n';
        out.flush();
        if (!out) {
            std::remove(tmp.c_str());
            return false;
        }
    }
    if (std::rename(tmp.c_str(), m_path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

bool Settings::writeInt(const std::string& section, const std::string& key, int value) {
    return writeString(section, key, std::to_string(value));
}

}  // namespace vortel
