#include "client/window/CopyData.h"

#include <cstring>

std::string CopyDataText(const platform::COPYDATASTRUCT* data)
{
    if (!data || !data->lpData || data->cbData == 0)
        return {};
    const char* bytes = static_cast<const char*>(data->lpData);
    const void* nul = std::memchr(bytes, '\0', data->cbData);
    return std::string(bytes, nul ? static_cast<const char*>(nul) - bytes : data->cbData);
}
