#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace pelorin {

struct HostOptions {
    bool listPlugins = false;  // print the plug-ins and load errors, then exit
    QString catalogue;         // open this catalogue instead of the last one
    bool selectAll = false;    // select every recording once the catalogue is open
    QString showKml;           // open the map window on this KML file (demos, screenshots)
    QStringList addRecordings; // WAV files and folders to add at start-up (demos, screenshots)
};

// Parses the host's command line; --help and --version print and exit.
HostOptions parseHostOptions(const QCoreApplication &app);

// Whether the arguments ask for the plug-in listing, which needs no display;
// looked at before the application object exists.
bool wantsPluginListing(int argc, char **argv);

} // namespace pelorin
