#include "PluginFixture.h"

#include <QAbstractButton>
#include <QFile>

void PluginTest::SetUp() {
    ASSERT_TRUE(dir.isValid());
    pelorin::setHostDelegate(&host);
}

void PluginTest::TearDown() {
    pelorin::setHostDelegate(nullptr);
    EXPECT_TRUE(driver.finished()) << "dialogs expected but never shown";
}

QString PluginTest::writeFile(const QString &name, const QByteArray &text) const {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

QString PluginTest::trackFile() const {
    return writeFile(QStringLiteral("track.gpx"), R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1">
 <trk><trkseg>
  <trkpt lat="48.10" lon="11.50"><ele>500.0</ele><time>2009-05-01T10:00:00Z</time></trkpt>
  <trkpt lat="48.20" lon="11.60"><ele>510.0</ele><time>2009-05-01T10:01:00Z</time></trkpt>
  <trkpt lat="48.15" lon="11.70"><ele>520.0</ele><time>2009-05-01T10:02:00Z</time></trkpt>
 </trkseg></trk>
</gpx>
)");
}

pelorin::HostRecording PluginTest::recording(const QString &file, const QString &utc,
                                             const QStringList &species) {
    QList<pelorin::HostSpecies> list;
    for (const QString &abbrev : species)
        list.append(pelorin::HostSpecies{pelorin::HostTaxon{abbrev}});
    return {QDateTime::fromString(utc, Qt::ISODate), file, list};
}

void PluginTest::selectTwoRecordings() {
    host.recordings.selection = QList<pelorin::HostRecording>{
        recording(QStringLiteral("late.wav"), QStringLiteral("2009-05-01T10:01:30Z"),
                  {QStringLiteral("Nyc")}),
        recording(QStringLiteral("early.wav"), QStringLiteral("2009-05-01T10:00:30Z"),
                  {QStringLiteral("Pip")}),
    };
}

QWidget *PluginTest::panelChild(const char *name) const {
    return plugin.myPanel ? plugin.myPanel->findChild<QWidget *>(QString::fromLatin1(name)) : nullptr;
}

void PluginTest::click(const char *button) const {
    auto *widget = qobject_cast<QAbstractButton *>(panelChild(button));
    ASSERT_NE(widget, nullptr) << button;
    widget->click();
}
