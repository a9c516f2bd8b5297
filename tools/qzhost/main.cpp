// qzhost: the stand-in host as a program, running the plug-in module on score text or MusicXML
// documents.
#include "tools/qzhost/QzHostBatch.h"
#include "tools/qzhost/QzHostOptions.h"
#include "tools/qzhost/QzHostSession.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    QzHostOptions options;
    std::string error;
    if (!ParseQzHostOptions(arguments, &options, &error)) {
        std::cerr << "qzhost: " << error << "\n";
        return QzHostSession::kBadInput;
    }
    if (options.help) {
        std::cout << QzHostUsage();
        return QzHostSession::kRan;
    }
    return RunQzHost(options, std::cout, std::cerr);
}
