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

enum class HostStart {
    Windows,   // the application itself
    TextOnly,  // --help or --version: a core application answers
    Offscreen, // --list-plugins (widgets for the plug-ins) or --help-all (the GUI's own options): no display
};

// What the arguments ask for, looked at before the application object exists.
HostStart hostStartFor(int argc, char **argv);

} // namespace pelorin
