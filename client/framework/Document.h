#pragma once
// The document of a single-document program. The client's document holds
// nothing; opening a file only checks that it can be read.

#include <string>

namespace framework {

class Document {
public:
    virtual ~Document() = default;
    virtual bool OnNewDocument() { return true; }
    // True when the file can be read.
    virtual bool OnOpenDocument(const std::string& path);
    const std::string& GetPathName() const { return m_strPathName; }

protected:
    std::string m_strPathName;
};

} // namespace framework
