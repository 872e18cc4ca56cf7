#include "DemoService.h"

// Add each new service here.
std::vector<std::unique_ptr<DemoService>> makeDemoServices()
{
    std::vector<std::unique_ptr<DemoService>> services;
    return services;
}
