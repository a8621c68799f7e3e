// "VELTA.ini": the private settings file beside the program.
//
// Private-profile semantics: the file is read at every call (no cache, so hand
// edits are seen at once), section and key names match without regard to case,
// a value is the text after '=', a write changes or adds exactly one line and
// keeps every other line, a missing file gives the defaults and a failed write
// is ignored.
#pragma once

#include <string>

namespace vortel {

class Settings {
public:
    explicit Settings(std::string path = {}) : m_path(std::move(path)) {}

    void setPath(std::string path) { m_path = std::move(path); }
    const std::string& path() const { return m_path; }

    std::string getString(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const;
    // Leading decimal digits with an optional sign, like GetProfileInt; no digits give 0.
    int getInt(const std::string& section, const std::string& key, int defaultValue) const;
    bool writeString(const std::string& section, const std::string& key, const std::string& value);
    bool writeInt(const std::string& section, const std::string& key, int value);

private:
    std::string m_path;
};

}  // namespace vortel
