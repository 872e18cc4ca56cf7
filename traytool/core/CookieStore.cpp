#include "traytool/core/CookieStore.h"

#include "platform/Paths.h"

#include <sqlite3.h>
#include <utility>

CCookieStore::CCookieStore(std::string dbPath) : m_strDbPath(std::move(dbPath)) {}

std::string CCookieStore::clientCookieDatabasePath()
{
    return platform::tempFolder() + "WebKitCache/Cookies";
}

bool CCookieStore::hasSignOnCookie()
{
    if (sqlite3_open_v2(m_strDbPath.c_str(), &m_pDb, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(m_pDb);
        m_pDb = nullptr;
        return false;
    }
    sqlite3_stmt* statement = nullptr;
    bool found = false;
    if (sqlite3_prepare_v2(m_pDb, "select * from cookies where name = 'CASTGC';", -1, &statement,
                           nullptr) == SQLITE_OK)
        found = sqlite3_step(statement) == SQLITE_ROW;
    sqlite3_finalize(statement);
    sqlite3_close(m_pDb);
    m_pDb = nullptr;
    return found;
}
