#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace pelorin {

struct HostTaxon {
    std::optional<QString> abbrev;
};

struct HostSpecies {
    std::optional<HostTaxon> myTaxon;
};

// A recording as the host hands it to plug-ins.
class HostRecording {
public:
    HostRecording() = default;
    HostRecording(QDateTime time, QString filename, QList<HostSpecies> species)
        : recordingTime_(std::move(time))
        , filename_(std::move(filename))
        , mySpecies_(std::move(species)) {}

    QDateTime recordingTime() const { return recordingTime_; }
    QString filename() const { return filename_; }
    const QList<HostSpecies> &mySpecies() const { return mySpecies_; }
    // The file the recording was read from, absolute; empty when the host has
    // no file for it (a catalogue row).
    QString path() const { return path_; }
    void setPath(QString path) { path_ = std::move(path); }

private:
    QDateTime recordingTime_;
    QString filename_;
    QList<HostSpecies> mySpecies_;
    QString path_;
};

} // namespace pelorin
