#include "DemoService.h"
#include "PushService.h"
#include "SiteService.h"
#include "UpdateServer.h"

// Add each new service here.
std::vector<std::unique_ptr<DemoService>> makeDemoServices()
{
    std::vector<std::unique_ptr<DemoService>> services;
    services.push_back(std::make_unique<PushService>());
    services.push_back(std::make_unique<UpdateServer>());
    services.push_back(std::make_unique<SiteService>());
    return services;
}
