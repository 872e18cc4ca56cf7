// tolvan-demo: stands in for the operator's servers on 127.0.0.1 so that the
// suite can be run and tested without them.
#include "DemoLog.h"
#include "DemoService.h"

#include "platform/TerminationSignals.h"

#include <QCoreApplication>
#include <QCommandLineParser>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("tolvan-demo");

    QCommandLineParser parser;
    parser.setApplicationDescription("Demo services of the Tolvan site suite, on 127.0.0.1.");
    parser.addHelpOption();
    QCommandLineOption logOption("log", "Also append the log to <file>.", "file");
    parser.addOption(logOption);

    auto services = makeDemoServices();
    for (auto& service : services)
        service->addOptions(parser);
    parser.process(app);

    DemoLog log;
    if (parser.isSet(logOption) && !log.openFile(parser.value(logOption))) {
        std::fprintf(stderr, "tolvan-demo: cannot open the log file\n");
        return 1;
    }
    for (auto& service : services) {
        if (!service->start(parser, log))
            return 1;
    }
    // SIGTERM and SIGINT end the services cleanly.
    platform::quitOnTerminationSignals();
    return app.exec();
}
