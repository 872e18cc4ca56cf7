// Start-up and shutdown of the engine over Qt WebEngine.
#include "engine/qt/Engine.h"

#include "engine/core/Tasks.h"
#include "engine/qt/Browser.h"
#include "engine/qt/Downloads.h"
#include "engine/qt/Schemes.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace engine {

namespace {

enum class EngineState { NotStarted, Started, ShutDown };
EngineState g_state = EngineState::NotStarted;
Engine* g_engine = nullptr;

QString qstr(const CefString& text) { return QString::fromStdU16String(text.ToString16()); }

bool isExecutableFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// Qt WebEngine ends the process when its helper program is missing; find it
// the way Qt does first, so a missing one is a start-up failure instead.
bool helperProgramExists()
{
    const QByteArray fromEnvironment = qgetenv("QTWEBENGINEPROCESS_PATH");
    if (!fromEnvironment.isEmpty())
        return isExecutableFile(QString::fromLocal8Bit(fromEnvironment));
    return isExecutableFile(QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath)
                            + "/QtWebEngineProcess")
           || isExecutableFile(QCoreApplication::applicationDirPath() + "/QtWebEngineProcess");
}

bool resourcesExist()
{
    const QString pak = QStringLiteral("/qtwebengine_resources.pak");
    const QByteArray fromEnvironment = qgetenv("QTWEBENGINE_RESOURCES_PATH");
    if (!fromEnvironment.isEmpty())
        return QFileInfo::exists(QString::fromLocal8Bit(fromEnvironment) + pak);
    return QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::DataPath) + "/resources" + pak)
           || QFileInfo::exists(QCoreApplication::applicationDirPath() + pak);
}

// Settings that name Qt WebEngine's own folders are used when the folder
// holds what Qt looks for there (a wrong one would end the process).
void applyResourceFolders(const CefSettings& settings)
{
    const QString resources = qstr(settings.resources_dir_path);
    if (!resources.isEmpty() && QFileInfo::exists(resources + "/qtwebengine_resources.pak"))
        qputenv("QTWEBENGINE_RESOURCES_PATH", QFile::encodeName(resources));
    const QString locales = qstr(settings.locales_dir_path);
    if (!locales.isEmpty() && !QDir(locales).entryList({"*.pak"}, QDir::Files).isEmpty())
        qputenv("QTWEBENGINE_LOCALES_PATH", QFile::encodeName(locales));
}

// Chromium refuses to start as root with its sandbox on.
void disableSandboxForRoot()
{
    if (geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        return;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    std::fprintf(stderr, "engine: running as root; Chromium's sandbox is turned off\n");
}

void addChromiumFlags(const CefSettings& settings)
{
    QStringList flags;
    // This machine talks to the site system only: no update checks, field
    // trials or other background traffic that would only time out.
    flags << "--disable-background-networking" << "--disable-component-update";
    // The bridge script must run again when a page comes back from history.
    flags << "--disable-features=BackForwardCache";
    const QString locale = qstr(settings.locale);
    if (!locale.isEmpty())
        flags << "--lang=" + locale;
    if (settings.log_severity == LOGSEVERITY_DISABLE)
        flags << "--log-level=3";
    // Qt splits these flags at blanks: only one script-engine flag fits.
    const QString scriptFlags = qstr(settings.javascript_flags).trimmed();
    if (!scriptFlags.isEmpty())
        flags << "--js-flags=" + scriptFlags.section(' ', 0, 0);
    QByteArray all = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").trimmed();
    for (const QString& flag : flags)
        all += (all.isEmpty() ? "" : " ") + flag.toLocal8Bit();
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", all);
}

QString randomKey()
{
    QString key;
    for (int i = 0; i < 4; ++i)
        key += QString::number(QRandomGenerator::system()->generate64(), 36);
    return "tolvan-bridge-" + key;
}

} // namespace

Engine* Engine::instance() { return g_engine; }

Engine::Engine(const CefSettings& settings)
    : m_settings(settings), m_bridgeKey(randomKey()), m_schemes(std::make_unique<SchemeRouter>())
{
}

Engine::~Engine()
{
    // Pages are gone by now; the profile goes before the handlers it uses.
    m_downloads.reset();
    delete m_profile;
}

QString Engine::bridgeXhrBase() const { return SchemeRouter::bridgeScheme() + "://call/?"; }

QWebEngineProfile* Engine::profile()
{
    if (!m_profile)
        createProfile();
    return m_profile;
}

void Engine::createProfile()
{
    m_schemes->registerUrlSchemes();
    const QString cachePath = qstr(m_settings.cache_path);
    if (cachePath.isEmpty()) {
        m_profile = new QWebEngineProfile();  // off the record
    } else {
        QDir().mkpath(cachePath);
        m_profile = new QWebEngineProfile(QStringLiteral("Tolvan"));
        m_profile->setPersistentStoragePath(cachePath);
        m_profile->setCachePath(cachePath);
        // Session cookies are written too, so other programs can see a
        // sign-on in the "Cookies" database; those of the previous run are
        // removed, so a session still ends with the program.
        m_profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);
        m_profile->cookieStore()->deleteSessionCookies();
    }
    const QString userAgent = qstr(m_settings.user_agent);
    const QString product = qstr(m_settings.product_version);
    if (!userAgent.isEmpty())
        m_profile->setHttpUserAgent(userAgent);
    else if (!product.isEmpty())
        m_profile->setHttpUserAgent(m_profile->httpUserAgent().replace(
            QRegularExpression(QStringLiteral("Chrome/[^ ]+")), product));
    const QString locale = qstr(m_settings.locale);
    if (!locale.isEmpty())
        m_profile->setHttpAcceptLanguage(locale);
    // Addresses of unknown schemes are never handed to the desktop.
    m_profile->settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    m_schemes->installHandlers(m_profile);
    m_downloads = std::make_unique<DownloadManager>(m_profile, cachePath);
}

bool Engine::addExtension(Extension extension)
{
    if (extension.name.isEmpty())
        return false;
    for (const auto& existing : m_extensions)
        if (existing.name == extension.name)
            return false;
    m_extensions.push_back(std::move(extension));
    return true;
}

BrowserImpl* Engine::browserById(int id) const
{
    for (BrowserImpl* browser : m_browsers)
        if (browser->id() == id)
            return browser;
    return nullptr;
}

} // namespace engine

using engine::Engine;

bool CefInitialize(const CefSettings& settings, CefRefPtr<CefApp>)
{
    if (engine::g_state != engine::EngineState::NotStarted)
        return false;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread())
        return false;
    engine::applyResourceFolders(settings);
    if (!engine::helperProgramExists() || !engine::resourcesExist())
        return false;
    engine::disableSandboxForRoot();
    engine::addChromiumFlags(settings);
    engine::g_engine = new Engine(settings);
    engine::g_state = engine::EngineState::Started;
    engine::startFileThread();
    return true;
}

void CefShutdown()
{
    if (engine::g_state != engine::EngineState::Started)
        return;
    Engine* started = engine::g_engine;
    for (engine::BrowserImpl* browser : started->browsers())
        browser->destroyNow();
    engine::stopFileThread();
    engine::g_state = engine::EngineState::ShutDown;
    engine::g_engine = nullptr;
    delete started;
}

bool CefRegisterExtension(const CefString& extensionName, const CefString& javascriptCode,
                          CefRefPtr<CefV8Handler> handler)
{
    Engine* started = Engine::instance();
    return started
           && started->addExtension({engine::qstr(extensionName), engine::qstr(javascriptCode),
                                     handler});
}

bool CefRegisterSchemeHandlerFactory(const CefString& schemeName, const CefString& domainName,
                                     CefRefPtr<CefSchemeHandlerFactory> factory)
{
    Engine* started = Engine::instance();
    return started
           && started->schemes().registerFactory(engine::qstr(schemeName),
                                                 engine::qstr(domainName), factory);
}

bool CefClearSchemeHandlerFactories()
{
    Engine* started = Engine::instance();
    if (!started)
        return false;
    started->schemes().clear();
    return true;
}
