#include "traytool/core/CookieStore.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// A cookie database as the browser keeps it (the columns that matter here).
void makeCookieDatabase(const std::string& path, const std::string& statements)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, statements.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

const std::string kTable =
    "create table cookies (creation_utc integer, host_key text, name text, value text, path text);";

TEST(CookieStore, FindsTheSignOnCookieInAnyDomain)
{
    struct Case {
        const char* rows;
        bool expected;
    };
    for (const Case c : {
             Case{"insert into cookies values (1, '.sso.example.test', 'CASTGC', 'TGT-1', '/');", true},
             Case{"insert into cookies values (1, 'a', 'JSESSIONID', 'x', '/');"
                  "insert into cookies values (2, 'b', 'CASTGC', '', '/cas');", true},
             Case{"insert into cookies values (1, 'a', 'castgc', 'x', '/');", false},
             Case{"", false},
         }) {
        SCOPED_TRACE(c.rows);
        testsupport::TempFolder folder("cookie-test");
        const std::string path = folder.file("Cookies");
        makeCookieDatabase(path, kTable + c.rows);
        CCookieStore store(path);
        EXPECT_EQ(store.hasSignOnCookie(), c.expected);
        EXPECT_EQ(store.hasSignOnCookie(), c.expected);  // nothing kept between checks
    }
}

TEST(CookieStore, AMissingDatabaseIsNoCookieAndIsNotCreated)
{
    testsupport::TempFolder folder("cookie-missing-test");
    // The cache folder exists, its database does not.
    const std::string cache = folder.file("WebKitCache");
    QDir().mkpath(QString::fromStdString(cache));
    EXPECT_FALSE(CCookieStore(cache + "/Cookies").hasSignOnCookie());
    EXPECT_TRUE(QDir(QString::fromStdString(cache)).isEmpty());
    // No cache folder at all.
    EXPECT_FALSE(CCookieStore(folder.file("none/Cookies")).hasSignOnCookie());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.file("none"))));
}

TEST(CookieStore, ADatabaseWithoutTheTableOrNotADatabaseIsNoCookie)
{
    testsupport::TempFolder folder("cookie-other-test");
    makeCookieDatabase(folder.file("Cookies"), "create table meta (key text, value text);");
    EXPECT_FALSE(CCookieStore(folder.file("Cookies")).hasSignOnCookie());
    testsupport::writeFile(folder.file("Garbage"), "this is not a database, just text");
    EXPECT_FALSE(CCookieStore(folder.file("Garbage")).hasSignOnCookie());
}

TEST(CookieStore, LooksInTheClientsCacheFolder)
{
    // TMPDIR points at the test's temporary folder (TestMain).
    const std::string expected = std::string(std::getenv("TMPDIR")) + "/WebKitCache/Cookies";
    EXPECT_EQ(CCookieStore::clientCookieDatabasePath(), expected);
}

} // namespace
