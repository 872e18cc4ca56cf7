#pragma once
// A temporary installation for real runs of Fetchwell: a copy of the built
// Fetchwell, stand-ins named TolvanClient and MerivoSiteSystem, configure.ini,
// and the demo update server serving a folder of its own.

#include "TestSupport.h"

#include <QProcessEnvironment>
#include <map>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

class UpdateInstallation {
public:
    struct PublishedFile {
        std::string name;     // manifest name
        std::string content;  // served content
        std::string md5 = {};  // manifest md5; empty: none
        bool served = true;    // false: listed but missing on the server (404)
    };
    struct Start {
        std::string program;
        pid_t pid = 0;
        std::string arguments;
    };

    UpdateInstallation();
    ~UpdateInstallation();

    std::string app(const std::string& name) const { return m_app.file(name); }
    const std::string& appFolder() const { return m_app.path(); }
    std::string served(const std::string& name) const { return m_server.file(name); }
    const std::string& servedFolder() const { return m_server.path(); }
    int port() const { return m_port; }

    // Writes an installed file (creating its folders).
    void install(const std::string& name, const std::string& content);
    // The manifest offering `version` with `files`, and the files themselves.
    void publish(const std::string& version, const std::vector<PublishedFile>& files);
    void publishRawManifest(const std::string& xml);

    // The stand-in program's bytes, and a different program that works the same.
    static std::string standinProgram();
    static std::string newerStandinProgram();

    // Starts both stand-ins and waits until they recorded their start.
    void startSitePrograms();
    std::vector<Start> starts() const;
    static bool isRunning(pid_t pid);

    // Starts the installation's Fetchwell with extra environment variables.
    std::unique_ptr<testsupport::RunningProgram> startFetchwell(const std::map<std::string, std::string>& env = {});
    // Runs it to its end, pressing the given answers ("ok"/"cancel") to its
    // boxes in order; false when a box did not come or it did not end.
    bool runFetchwell(const std::vector<std::string>& answers, const std::map<std::string, std::string>& env = {});
    // Presses a button of the open "提示" box, waiting for the box to come.
    bool press(const std::string& button);

    // The log's message lines ("日志内容：" stripped), in order.
    std::vector<std::string> logMessages() const;
    // Paths the demo server was asked for, in order.
    std::vector<std::string> requestedPaths() const;
    std::string installedVersion() const;
    // Files below the installation folder whose name ends in ".old".
    std::vector<std::string> backupFiles() const;

private:
    testsupport::ScopedRuntimeFolder m_runtime;
    testsupport::TempFolder m_app{"fetchwell-app"};
    testsupport::TempFolder m_server{"fetchwell-served"};
    testsupport::TempFolder m_work{"fetchwell-work"};
    std::unique_ptr<testsupport::RunningProgram> m_demo;
    int m_port = 0;
    std::vector<std::string> m_answeredBoxes;  // window handles
};
