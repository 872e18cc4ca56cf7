#pragma once
// One demo service of tolvan-demo. Each service adds its own command-line
// options and starts when they ask for it.

#include <QCommandLineParser>
#include <memory>
#include <vector>

class DemoLog;

class DemoService {
public:
    virtual ~DemoService() = default;
    virtual void addOptions(QCommandLineParser& parser) = 0;
    // Starts the service when its options ask for it. Returns false only when
    // it was asked for and could not start (the program then ends with 1).
    virtual bool start(const QCommandLineParser& parser, DemoLog& log) = 0;
};

// Every service of the program, in start order (DemoServices.cpp).
std::vector<std::unique_ptr<DemoService>> makeDemoServices();
