#pragma once
// The demo site system: the operator's web site system in miniature, on
// 127.0.0.1 (port 40088 unless --site-port says otherwise), for TolvanClient
// to show. All of it is Chinese, as the real one:
//
//   /login                        login form; calls external.SendUserInfo(
//                                 "compId;username") and signs on with the
//                                 cookie CASTGC
//   /                             home page (the other pages need a sign-on
//   /express/task/list            and lead to /login without one): tasks,
//   /express/grab/list            bidding orders, won orders, and settings
//   /express/grab/succ            with the sound switch (external.PlaySound)
//   /settings                     and the customer-service chat
//                                 (external.ContactService)
//   /express/userInfo/loginout    logout page: calls external.Logout()
//   /api/log?text=...             the pages' log: writes "page: <text>"
//
// --site-pages <folder> serves the files of that folder first (to try page
// changes without rebuilding, and for tests). Every request is logged.

#include "DemoService.h"
#include "SiteHttp.h"

#include <QMap>
#include <QString>
#include <QTcpServer>

class SiteService : public DemoService {
public:
    void addOptions(QCommandLineParser& parser) override;
    bool start(const QCommandLineParser& parser, DemoLog& log) override;

private:
    struct Member {
        QString compId;
        QString username;
    };

    SiteResponse handle(const SiteRequest& request);
    SiteResponse login(const SiteRequest& request);
    SiteResponse logout(const SiteRequest& request);
    SiteResponse pageLog(const SiteRequest& request);
    // A page of the site; `member` fills its {{compId}} and {{username}}.
    SiteResponse page(const QString& name, const Member& member = {}) const;
    SiteResponse notFound() const;
    // A file of the --site-pages folder, when it has one for the path.
    bool servePagesFolder(const QString& path, SiteResponse& response) const;
    const Member* signedOnMember(const SiteRequest& request) const;

    QTcpServer m_server;
    QString m_pagesFolder;
    QMap<QString, Member> m_signOns;  // by CASTGC ticket
    int m_nextTicket = 1;
    DemoLog* m_log = nullptr;
};
