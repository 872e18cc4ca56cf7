#pragma once
// A look into the client's cookie database: does the browser hold the
// sign-on ticket "CASTGC"? The push client asks on its timer ticks while it
// is not connected; the answer only decides a log line.
//
// The database belongs to the client's browser, so it is opened read-only
// and never created: a missing file simply means "no cookie".

#include <string>

struct sqlite3;

class CCookieStore {
public:
    explicit CCookieStore(std::string dbPath);
    CCookieStore(const CCookieStore&) = delete;
    CCookieStore& operator=(const CCookieStore&) = delete;

    // True when the table `cookies` holds a row named "CASTGC"; false on every
    // error (missing file or table, busy database).
    bool hasSignOnCookie();

    const std::string& dbPath() const { return m_strDbPath; }

    // "Cookies" in the client's browser cache folder, the user's temporary
    // folder + "WebKitCache" (spelt as the client spells it).
    static std::string clientCookieDatabasePath();

private:
    std::string m_strDbPath;
    sqlite3* m_pDb = nullptr;
};
