#include "client/browser/ErrorPage.h"

std::string LoadErrorPage(const std::string& ansiFailedUrl, int errorCode)
{
    return "<html><head><title>Load Failed</title></head><body><h1>Load Failed</h1><h2>Load of URL " +
           ansiFailedUrl + "failed with error code " + std::to_string(errorCode) + ".</h2></body></html>";
}
