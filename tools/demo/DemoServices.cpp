#include "DemoService.h"
#include "SiteService.h"

// Add each new service here.
std::vector<std::unique_ptr<DemoService>> makeDemoServices()
{
    std::vector<std::unique_ptr<DemoService>> services;
    services.push_back(std::make_unique<SiteService>());
    return services;
}
