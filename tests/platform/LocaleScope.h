#pragma once
// Runs a test under the locale environment of a Chinese Windows system
// (zh_CN.GBK). When the machine has no such locale, it is generated with
// localedef into a temporary folder that LOCPATH points at; the process's own
// locale is never touched. available() is false when neither works.

#include "TestSupport.h"

#include <clocale>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace testsupport {

// Sets (or, with nothing, unsets) an environment variable for the object's life.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name.c_str(), m_old->c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

class GbkLocaleScope {
public:
    GbkLocaleScope()
    {
        const std::optional<std::string> path = localePath();
        if (!path)
            return;
        if (!path->empty())
            m_locPath = std::make_unique<ScopedEnv>("LOCPATH", *path + ":/usr/lib/locale");
        m_lcAll = std::make_unique<ScopedEnv>("LC_ALL", std::string("zh_CN.GBK"));
    }
    bool available() const { return m_lcAll != nullptr; }
    static constexpr const char* kSkipMessage =
        "the zh_CN.GBK locale is neither installed nor can be generated (localedef from the "
        "locales package)";

private:
    static bool loads(const std::string& locPath)
    {
        ScopedEnv env("LOCPATH", locPath.empty() ? std::nullopt : std::optional(locPath));
        locale_t gbk = newlocale(LC_CTYPE_MASK, "zh_CN.GBK", locale_t(nullptr));
        if (gbk)
            freelocale(gbk);
        return gbk != nullptr;
    }

    // "" when the system has the locale; a generated locale folder; or nothing.
    static std::optional<std::string> localePath()
    {
        static const std::optional<std::string> path = []() -> std::optional<std::string> {
            if (loads(""))
                return std::string();
            static TempFolder folder("tolvan-locale");
            const std::string command = "localedef -i zh_CN -f GBK " + folder.path()
                                        + "/zh_CN.GBK >/dev/null 2>&1";
            [[maybe_unused]] const int status = std::system(command.c_str());
            if (loads(folder.path()))
                return folder.path();
            return std::nullopt;
        }();
        return path;
    }

    std::unique_ptr<ScopedEnv> m_locPath;
    std::unique_ptr<ScopedEnv> m_lcAll;
};

} // namespace testsupport
