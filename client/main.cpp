// TolvanClient: the site client.
#include "client/app/BrowserApp.h"

int main(int argc, char** argv)
{
    CBrowserApp app;
    return app.Main(argc, argv);
}
