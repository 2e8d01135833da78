// pelorin: the batch command. Geo-references sound recordings on a GPS log and
// writes a KML document, without a desktop.

#include "cli/BatchCommand.h"
#include "cli/CommandLine.h"
#include "cli/GuanoWriteCommand.h"
#include "cli/Messages.h"
#include "cli/OpenWithDefaultApplication.h"

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char **argv) {
    using namespace pelorin::cli;
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const ParsedCommandLine parsed = parseCommandLine(arguments);

    switch (parsed.action) {
    case ParsedCommandLine::Action::Help:
        std::cout << usageText();
        return kWritten;
    case ParsedCommandLine::Action::Version:
        std::cout << "pelorin " PELORIN_VERSION "\n";
        return kWritten;
    case ParsedCommandLine::Action::UsageError:
        say(std::cerr, usageHint(parsed.error));
        return kBadInput;
    case ParsedCommandLine::Action::Run:
        break;
    }

    const ExitStatus status = parsed.options.writeGuano
                                  ? runGuanoWriteBack(parsed.options, std::cout, std::cerr)
                                  : runBatch(parsed.options, std::cout, std::cerr);
    if (status == kWritten && parsed.options.open)
        openWithDefaultApplication(parsed.options.outputPath);
    return status;
}
