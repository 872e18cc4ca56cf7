#include "client/framework/Document.h"

#include <fstream>

namespace framework {

bool Document::OnOpenDocument(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    m_strPathName = path;
    return true;
}

} // namespace framework
