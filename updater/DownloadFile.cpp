#include "updater/DownloadFile.h"

#include "updater/UpdaterGlobals.h"
#include "updater/UpdaterTexts.h"

#include <curl/curl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr long kConnectTimeoutMs = 2000;
constexpr int kConnectRetries = 2;
// A transfer that delivers nothing for this long has stalled.
constexpr long kStallSeconds = 60;
constexpr long kMaxRedirects = 5;

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
template <typename T>
using CurlPtr = std::unique_ptr<T, CurlDeleter>;

// The address's scheme when it is a complete http or https address; empty
// otherwise.
std::string WebScheme(const std::string& strUrl)
{
    CurlPtr<CURLU> url(curl_url());
    if (!url || curl_url_set(url.get(), CURLUPART_URL, strUrl.c_str(), 0) != CURLUE_OK)
        return {};
    char* scheme = nullptr;
    char* host = nullptr;
    std::string result;
    if (curl_url_get(url.get(), CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK &&
        curl_url_get(url.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK && *host) {
        if (std::strcmp(scheme, "http") == 0 || std::strcmp(scheme, "https") == 0)
            result = scheme;
    }
    curl_free(scheme);
    curl_free(host);
    return result;
}

// The temporary file a download writes into; removed unless kept.
class CPartFile {
public:
    explicit CPartFile(const std::string& strPath) : m_strPath(strPath + ".part-XXXXXX")
    {
        m_nFd = ::mkstemp(m_strPath.data());
        if (m_nFd >= 0)
            ::fchmod(m_nFd, 0644);
    }
    ~CPartFile()
    {
        if (m_nFd >= 0)
            ::close(m_nFd);
        if (!m_bKept)
            ::unlink(m_strPath.c_str());
    }
    CPartFile(const CPartFile&) = delete;
    CPartFile& operator=(const CPartFile&) = delete;

    bool IsOpen() const { return m_nFd >= 0; }
    int Error() const { return m_nError; }

    // Writes one chunk whole; false (with the error kept) when it cannot.
    bool Write(const char* data, std::size_t size)
    {
        while (size > 0) {
            ssize_t written = ::write(m_nFd, data, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                m_nError = written < 0 ? errno : ENOSPC;
                return false;
            }
            data += written;
            size -= std::size_t(written);
        }
        return true;
    }

    // Starts over for another attempt.
    bool Rewind() { return ::ftruncate(m_nFd, 0) == 0 && ::lseek(m_nFd, 0, SEEK_SET) == 0; }

    // Closes the file and moves it to `strPath`, replacing what was there.
    bool KeepAs(const std::string& strPath)
    {
        const int fd = m_nFd;
        m_nFd = -1;
        if (::close(fd) != 0) {
            m_nError = errno;
            return false;
        }
        if (std::rename(m_strPath.c_str(), strPath.c_str()) != 0) {
            m_nError = errno;
            return false;
        }
        m_bKept = true;
        return true;
    }

private:
    std::string m_strPath;
    int m_nFd = -1;
    int m_nError = 0;
    bool m_bKept = false;
};

std::size_t WriteChunk(char* data, std::size_t size, std::size_t count, void* file)
{
    const std::size_t bytes = size * count;
    return static_cast<CPartFile*>(file)->Write(data, bytes) ? bytes : 0;
}

void SetError(std::string* pstrError, const std::string& strText)
{
    if (pstrError)
        *pstrError = strText;
}

// A connection that could not be made at all is tried again; anything that
// failed after the server answered is not.
bool IsConnectFailure(CURL* curl, CURLcode result)
{
    if (result == CURLE_COULDNT_CONNECT)
        return true;
    if (result != CURLE_OPERATION_TIMEDOUT)
        return false;
    curl_off_t connectTime = 0;
    curl_easy_getinfo(curl, CURLINFO_CONNECT_TIME_T, &connectTime);
    return connectTime == 0;
}

} // namespace

bool DownloadFile(const std::string& strUrl, const std::string& strPath, std::string* pstrError)
{
    const std::string strScheme = WebScheme(strUrl);
    if (strScheme.empty()) {
        g_strLastError = std::string(updater_text::kUrlError) + strUrl;
        SetError(pstrError, g_strLastError);
        return false;
    }

    CurlPtr<CURL> curl(curl_easy_init());
    if (!curl) {
        SetError(pstrError, "curl_easy_init");
        return false;
    }
    CPartFile part(strPath);
    if (!part.IsOpen()) {
        SetError(pstrError, std::string("无法创建文件 ") + strPath + "：" + std::strerror(errno));
        return false;
    }

    // Always from the server, never from a cache on the way.
    CurlPtr<curl_slist> headers(curl_slist_append(nullptr, "Cache-Control: no-cache"));
    headers.reset(curl_slist_append(headers.release(), "Pragma: no-cache"));

    // https stays https through redirects; http may be sent on to https.
    const char* allowed = strScheme == "https" ? "https" : "http,https";
    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, strUrl.c_str());
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, strScheme.c_str());
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, allowed);
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(handle, CURLOPT_USERAGENT, "test");
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_BUFFERSIZE, 256L * 1024L);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteChunk);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &part);

    CURLcode result = CURLE_OK;
    for (int attempt = 0; attempt <= kConnectRetries; ++attempt) {
        if (attempt > 0 && !part.Rewind())
            break;
        result = curl_easy_perform(handle);
        if (!IsConnectFailure(handle, result))
            break;
    }

    if (result == CURLE_WRITE_ERROR && part.Error() != 0) {
        SetError(pstrError, std::string("无法写入文件 ") + strPath + "：" + std::strerror(part.Error()));
        return false;
    }
    if (result != CURLE_OK) {
        SetError(pstrError, curl_easy_strerror(result));
        return false;
    }
    long nStatus = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &nStatus);
    if (nStatus != 200) {
        SetError(pstrError, "HTTP " + std::to_string(nStatus));
        return false;
    }
    // libcurl reports a body cut short of its Content-Length as a partial
    // file; this check also holds when the length came with a redirect's
    // final response only.
    curl_off_t nExpected = -1;
    curl_off_t nReceived = 0;
    curl_easy_getinfo(handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &nExpected);
    curl_easy_getinfo(handle, CURLINFO_SIZE_DOWNLOAD_T, &nReceived);
    if (nExpected >= 0 && nReceived != nExpected) {
        SetError(pstrError, curl_easy_strerror(CURLE_PARTIAL_FILE));
        return false;
    }
    if (!part.KeepAs(strPath)) {
        SetError(pstrError, std::string("无法写入文件 ") + strPath + "：" + std::strerror(part.Error()));
        return false;
    }
    return true;
}
